#pragma once
// The texts as assistive tools see them: one-line texts and help links (links when they lead somewhere, static
// texts otherwise), flowing texts, and the rounded frames that show a text without opening anything.

class QAccessibleInterface;
class QWidget;

// The interface of a text, or nothing when widget is no text.
QAccessibleInterface* TextAccessFor(QWidget* widget);
