#pragma once
// What a list tells assistive tools about itself: one row per item and, optionally, a check or radio cell and one
// button per row. A list control implements it; the accessibility code reads it and calls it with rows that exist.

#include <QAccessible>
#include <QRect>
#include <QString>

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
