#pragma once
// The recorder list of the search page: 8 fixed columns, 44-pixel rows, a radio mark per row of which at most
// one is checked. The rows are the records of a RecorderListModel, which the list owns. A click on a row's radio cell checks that row and posts WM_ROW_SELECTED to the page; clicks
// elsewhere select nothing. Rows can carry a warning mark (column 4) and a tooltip. The header's help icon
// reaches the page as WM_OPEN_OVERLAY (kind 4); the keyboard reaches it as a spot of the page just before the rows.

#include "pages/RecorderListModel.h"
#include "ui/AccessibleControls.h"

#include <QImage>
#include <QTableView>

class SlimScrollBar;
class RecorderListHeader;
class FocusSpot;

class RecorderList : public QTableView, public AccessibleRows
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 44;
    static constexpr int kColumnCount = RecorderListModel::kColumnCount;
    static constexpr int kRadioColumn = RecorderListModel::kRadioColumn;
    static constexpr int kNumberColumn = RecorderListModel::kNumberColumn;
    static constexpr int kMarkColumn = RecorderListModel::kMarkColumn;
    static constexpr int kIpColumn = RecorderListModel::kIpColumn;
    static constexpr int kMacColumn = RecorderListModel::kMacColumn;

    explicit RecorderList(QWidget* page);

    // The column titles (column 3 "No.", 5 and 7 as given).
    void SetTitles(const QString& ipTitle, const QString& macTitle);
    // Appends an unchecked row for the recorder found and returns its index (its number is the index plus 1).
    int AppendRow(const FoundRecorder& found);
    void DeleteAllRows();
    int rowCount() const { return rows->rowCount(); }
    // The record of row (nullptr for a row that does not exist).
    const FoundRecorder* Record(int row) const { return rows->Record(row); }
    // The text the cell shows.
    QString CellText(int row, int column) const;

    // Checks row (-1: none) and unchecks every other row.
    void SetChecked(int row);
    bool IsChecked(int row) const;
    // The checked row, or -1.
    int CheckedRow() const;

    // The warning mark in the row's column 4.
    void SetMarked(int row, bool on);
    bool IsMarked(int row) const;
    void SetRowToolTip(int row, const QString& text);
    QString RowToolTip(int row) const;

    // The radio cell of row, in viewport coordinates.
    QRect RadioCellRect(int row) const;
    // What a click on the row's radio cell does: checks the row and tells the page.
    void ClickRadio(int row);

    int AccessibleRowCount() const override { return rowCount(); }
    QString AccessibleRowText(int row) const override;
    QAccessible::Role AccessibleCheckRole() const override { return QAccessible::RadioButton; }
    bool AccessibleRowChecked(int row) const override { return IsChecked(row); }
    void AccessibleClickCheck(int row) override { ClickRadio(row); }
    int AccessibleCurrentRow() const override { return currentIndex().row(); }
    QRect AccessibleRowRect(int row) const override;
    QRect AccessibleCheckRect(int row) const override;

    RecorderListHeader* Header() const { return header; }
    // The keyboard's way to the header's help icon (a control of the page, over the icon; nullptr without a page).
    FocusSpot* HelpSpot() const { return helpSpot; }
    // The slim scroll bar that shows this list's scrolling.
    void SetScrollBar(SlimScrollBar* bar);

    const QImage& checkedImage() const { return checkedPicture; }
    const QImage& uncheckedImage() const { return uncheckedPicture; }
    const QImage& markImage() const { return markPicture; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void refreshScrollBar();
    void placeHelpSpot();

    RecorderListModel* rows = nullptr;

    RecorderListHeader* header = nullptr;
    FocusSpot* helpSpot = nullptr;
    SlimScrollBar* scrollBar = nullptr;
    QImage checkedPicture;
    QImage uncheckedPicture;
    QImage markPicture;
};
