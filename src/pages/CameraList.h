#pragma once
// The camera list of the camera page: nine fixed columns, 32-pixel rows (at most 256), a check box per row, the
// row number, the model name (cut with "..." where it does not fit, whole on hover), the address, and for rows
// whose password is known a camera icon that asks for the live preview.
//
// A click on a checked box unchecks it at once; a click on an unchecked box posts WM_CAMERA_CHECK_REQUEST
// (wParam row, lParam the list's generation) to the page, which decides and checks the row itself: until the
// page says it has handled that request, further clicks on unchecked boxes ask nothing (a double click asks
// once). A click on the icon of a verified row posts WM_OPEN_OVERLAY (8, row). With four rows checked the other
// rows are drawn grey. By keyboard, Up and Down choose the row, Left and Right its check box or camera icon, and
// Space does what a click on the marked one does.

#include "ui/AccessibleControls.h"

#include <QImage>
#include <QPoint>
#include <QTableWidget>
#include <cstdint>
#include <vector>

class CameraListHeader;
class SlimScrollBar;

// What one row carries besides its texts.
struct CamRowData
{
    int checkedImage = -1;
    int uncheckedImage = -1;
    int iconImage = -1;
    int32_t checked = 0;
    int boxDx = 0;
    int boxDy = 0;
    int boxWidth = 0;
    int boxHeight = 0;
    int iconDx = 0;
    int iconDy = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    int32_t verified = 0; // 1: the row shows the preview icon and may open the preview
};

class CameraList : public QTableWidget, public AccessibleRows
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = 9;
    static constexpr int kCheckColumn = 1;
    static constexpr int kNumberColumn = 3;
    static constexpr int kModelColumn = 5;
    static constexpr int kIconColumn = 6;
    static constexpr int kIpColumn = 8;
    static constexpr int kRowHeight = 32;
    static constexpr int kMaxRows = 256;
    static constexpr int kMaxChecked = 4;
    static constexpr int kTextSize = 15;

    explicit CameraList(QWidget* page);

    // Column titles ("No." is fixed) and the header's bar picture.
    void SetTitles(const QString& modelTitle, const QString& ipTitle);
    void SetHeaderImage(int pngId);
    CameraListHeader* Header() const { return header; }
    // The slim scroll bar that shows this list's scrolling.
    void SetScrollBar(SlimScrollBar* bar);

    // Appends a row with `number` as its item text and fresh row data; -1 when the list is full.
    int AppendRow(const QString& number);
    // Sets a cell's text; false for a row or column that does not exist.
    bool SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    // Removes every row and starts a new generation: requests made for the old rows no longer match.
    void DeleteAllRows();
    uint64_t generation() const { return listGeneration; }

    // The row's data (nullptr for a row that does not exist).
    CamRowData* RowData(int row);
    const CamRowData* RowData(int row) const;

    // Checks the row (nothing when it is checked, does not exist, or four rows are checked).
    bool CheckRow(int row);
    void UncheckRow(int row);
    bool IsChecked(int row) const;
    void SetVerified(int row, bool verified);
    bool IsVerified(int row) const;
    // The number of checked rows (never above kMaxChecked).
    int CheckedCount() const;

    // The page has handled the check request it was posted (accepted or not): boxes ask again.
    void CheckRequestHandled();
    bool checkRequestPending() const { return requestPending; }

    // Where the last icon click asks the preview to point, in the page's coordinates.
    QPoint previewAnchor() const { return anchor; }

    // Cell rectangles in viewport coordinates.
    QRect CheckCellRect(int row) const;
    QRect IconCellRect(int row) const;

    // What a click on the row's check box does (and Space on the current row).
    void ClickCheck(int row);
    // What a click on the row's camera icon does.
    void ClickIcon(int row);

    int AccessibleRowCount() const override { return rowCount(); }
    QString AccessibleRowText(int row) const override;
    QAccessible::Role AccessibleCheckRole() const override { return QAccessible::CheckBox; }
    bool AccessibleRowChecked(int row) const override { return IsChecked(row); }
    bool AccessibleRowCheckEnabled(int row) const override;
    void AccessibleClickCheck(int row) override { ClickCheck(row); }
    QString AccessibleRowButton(int row) const override;
    void AccessibleClickButton(int row) override { ClickIcon(row); }
    // The keyboard is on the current row's camera icon (Right moved it there) rather than on its check box.
    bool AccessibleButtonCurrent() const override;
    int AccessibleCurrentRow() const override { return currentIndex().row(); }
    QRect AccessibleRowRect(int row) const override;
    QRect AccessibleCheckRect(int row) const override;

    const QImage& Picture(int resourceId) const;
    QFont TextFont() const;

signals:
    // A row was checked or unchecked, or the rows were deleted.
    void CheckedCountChanged(int count);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void refreshScrollBar();
    void repaintRow(int row);

    CameraListHeader* header = nullptr;
    SlimScrollBar* scrollBar = nullptr;
    std::vector<CamRowData> rows;
    QImage checkedPicture;
    QImage uncheckedPicture;
    QImage iconPicture;
    QImage noPicture;
    uint64_t listGeneration = 1;
    bool requestPending = false;
    QPoint anchor;
};
