#pragma once
// The time-zone page's drop-down list: the recorder's zone names, one row each, drawn as plain text and elided
// where they do not fit. The row changes only by the user's hand (a click, the arrow keys, or typing the start
// of a place name); the page's own changes and clearing the list announce nothing.

#include "ui/AccessibleControls.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QStringList>

class ZoneListBox : public QListWidget, public AccessibleRows
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 32;
    static constexpr int kFontSize = 20;

    explicit ZoneListBox(QWidget* parent = nullptr);

    // Replaces the rows with names and selects row (none for -1), without announcing it.
    void SetZones(const QStringList& names, int row);
    // Brings the selected row into view (the first rows when none is selected).
    void ScrollToSelected();
    // The name as a row shows it in width pixels: whole, or cut with "..." at its end.
    static QString ElidedName(const QString& name, int width);

    QAccessible::Role AccessibleListRole() const override { return QAccessible::List; }
    int AccessibleRowCount() const override { return count(); }
    QString AccessibleRowText(int row) const override;
    // Choosing a row through an assistive tool is the user's hand, as a click is.
    void AccessibleClickRow(int row) override;
    bool AccessibleRowSelected(int row) const override { return currentRow() == row; }
    int AccessibleCurrentRow() const override { return currentRow(); }
    QRect AccessibleRowRect(int row) const override;

signals:
    // The user chose row.
    void zoneChosen(int row);
    // Space: the user is done with the list.
    void closeRequested();

protected:
    void keyboardSearch(const QString& search) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int findTyped(const QString& typed, int from) const;

    bool quiet = false; // set while the page changes the rows itself
    QString typed;
    QElapsedTimer typedClock;
};
