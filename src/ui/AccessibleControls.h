#pragma once
// The owner-drawn controls as assistive tools see them: role, name, state, value and actions through Qt's
// accessibility interfaces, with names read from the current language pack whenever they are asked for.

#include <QAccessible>
#include <QRect>
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

// A list with one row per item and, optionally, a check or radio cell and one button per row. The list classes
// implement it; the interfaces call it with rows that exist.
class AccessibleRows
{
public:
    virtual ~AccessibleRows() = default;
    // QAccessible::Table (rows of role Row) or List (rows of role ListItem).
    virtual QAccessible::Role AccessibleListRole() const { return QAccessible::Table; }
    virtual int AccessibleRowCount() const = 0;
    // The row's texts as shown, joined by spaces.
    virtual QString AccessibleRowText(int row) const = 0;
    // QAccessible::CheckBox or RadioButton for lists with check cells, NoRole for none.
    virtual QAccessible::Role AccessibleCheckRole() const { return QAccessible::NoRole; }
    virtual bool AccessibleRowChecked(int) const { return false; }
    // False where a click on the check cell would change nothing (the grey rows of a full camera list).
    virtual bool AccessibleRowCheckEnabled(int) const { return true; }
    // Does what a click on the row's check cell does.
    virtual void AccessibleClickCheck(int) { }
    // Does what choosing the row does; in a list with check cells that is the click on the check cell.
    virtual void AccessibleClickRow(int row)
    {
        if (AccessibleCheckRole() != QAccessible::NoRole)
            AccessibleClickCheck(row);
    }
    // The chosen row of a list without check cells.
    virtual bool AccessibleRowSelected(int) const { return false; }
    // The row the keyboard is on, or -1.
    virtual int AccessibleCurrentRow() const { return -1; }
    // The row's button (empty: the row has none) and what a click on it does.
    virtual QString AccessibleRowButton(int) const { return QString(); }
    virtual void AccessibleClickButton(int) { }
    // The keyboard is on the current row's button rather than on the row (or its check cell).
    virtual bool AccessibleButtonCurrent() const { return false; }
    // Rectangles in the list widget's coordinates (empty when the row is scrolled out of sight).
    virtual QRect AccessibleRowRect(int row) const = 0;
    virtual QRect AccessibleCheckRect(int) const { return QRect(); }
};

// An overlay box that draws its title and message itself: it is a dialog named by its title, and its message is
// a static text among its children.
class AccessibleOverlay
{
public:
    virtual ~AccessibleOverlay() = default;
    virtual QString AccessibleTitle() const = 0;
    virtual QString AccessibleMessage() const { return QString(); }
};
