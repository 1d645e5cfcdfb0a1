#pragma once
// The owner-drawn controls as assistive tools see them: role, name, state, value and actions through Qt's
// accessibility interfaces, with names read from the current language pack whenever they are asked for. One file
// per family of controls holds their interfaces (ButtonAccess, TextAccess, EditAccess, ComboAccess, ProgressAccess,
// ListAccess, OverlayAccess); the controls know none of it: a list or an overlay implements the small interface of
// AccessibleRows.h or AccessibleOverlay.h.

#include "ui/AccessibleOverlay.h"
#include "ui/AccessibleRows.h"

#include <QString>

class QWidget;

// Registers the interfaces of the toolkit's controls with Qt; the program calls it once before its first window.
// Calling it again does nothing.
void InstallAccessibleControls();

// Names a control that shows no text of its own (a picture button, the language combo) with the pack text of key
// (fallback when the pack has none). The text is looked up when it is asked for, so it follows the language.
void SetAccessibleText(QWidget* widget, const char* key, const char* fallback);
// The control whose text names widget (the label beside an edit); it is read when the name is asked for.
void SetAccessibleLabel(QWidget* widget, QWidget* label);

// The name a control is known by: its pack text, its label's text, or the text it shows.
QString AccessibleNameOf(const QWidget* widget);

// Whether input may reach widget now. The overlays set the rule (nothing beneath a running modal layer takes
// input); an assistive tool's actions and edits follow it as a click or a key does, and a control it blocks reads
// as unavailable. Without a rule every widget takes input.
using InputGate = bool (*)(const QWidget* widget);
void SetInputGate(InputGate gate);
bool InputReaches(const QWidget* widget);
