#pragma once
// The combo's drop-down list: a rounded white box over the page with a window of rows, arrows to scroll it, and
// the row under the mouse highlighted; a click on a row posts WM_LANGUAGE_SELECTED to the combo.

#include "ui/AccessibleRows.h"
#include "ui/Colours.h"
#include "ui/ComboItem.h"

#include <QRect>
#include <QWidget>
#include <vector>

class LanguageDropDown : public QWidget, public AccessibleRows
{
    Q_OBJECT
public:
    // Made and destroyed by its combo (owner) only; parent is the layer it lies on.
    LanguageDropDown(QWidget* owner, QWidget* parent, std::vector<ComboItem> items, int visibleRows, int first,
        int highlighted, const QString& family, int fontSize);

    // The combo that opened the list.
    QWidget* combo() const { return owner; }
    int first() const { return firstRow; }
    int highlighted() const { return highlightedRow; }
    int count() const { return static_cast<int>(entries.size()); }
    int visibleRows() const { return rows; }
    const std::vector<ComboItem>& items() const { return entries; }
    QRect upArrowRect() const;
    QRect downArrowRect() const;
    // The rectangle of shown row r (item first + r) in the list.
    QRect RowRect(int r) const;
    // Rows shown at once.
    int ShownRows() const;

    // As assistive tools see it: a list of the items, the highlighted one current and selected; choosing an item
    // does what a click on it does.
    QAccessible::Role AccessibleListRole() const override { return QAccessible::List; }
    int AccessibleRowCount() const override { return count(); }
    QString AccessibleRowText(int row) const override;
    bool AccessibleRowSelected(int row) const override { return row == highlightedRow; }
    int AccessibleCurrentRow() const override { return highlightedRow; }
    void AccessibleClickRow(int row) override;
    QRect AccessibleRowRect(int row) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Up and Down move the highlight (scrolling the rows), Space chooses the highlighted item, Escape closes.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab stays in the open list.
    bool focusNextPrevChild(bool next) override;

private:
    int RowAt(QPoint position) const;

    QWidget* owner;
    std::vector<ComboItem> entries;
    int rows;
    int firstRow;
    int highlightedRow;
    QString family;
    int fontPixels;
    Rgb textRgb = MakeRgb(50, 50, 50);
    Rgb highlightText = MakeRgb(255, 255, 255);
    Rgb highlightFill = MakeRgb(42, 169, 209);
};
