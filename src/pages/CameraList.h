#pragma once
// The camera list of the camera page: nine fixed columns, 32-pixel rows (at most 256), a check box per row, the
// row number, the model name (cut with "..." where it does not fit, whole on hover), the address, and for rows
// whose password is known a camera icon that asks for the live preview. The rows are the records of a
// CameraListModel, which the list owns.
//
// A click on a checked box unchecks it at once; a click on an unchecked box posts WM_CAMERA_CHECK_REQUEST
// (wParam row, lParam the list's generation) to the page, which decides and checks the row itself: until the
// page says it has handled that request, further clicks on unchecked boxes ask nothing (a double click asks
// once). A click on the icon of a verified row posts WM_OPEN_OVERLAY (8, row). With four rows checked the other
// rows are drawn grey. By keyboard, Up and Down choose the row, Left and Right its check box or camera icon, and
// Space does what a click on the marked one does.

#include "pages/CameraListModel.h"
#include "ui/AccessibleControls.h"

#include <QImage>
#include <QPoint>
#include <QTableView>
#include <cstdint>

class CameraListHeader;
class SlimScrollBar;

class CameraList : public QTableView, public AccessibleRows
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = CameraListModel::kColumnCount;
    static constexpr int kCheckColumn = CameraListModel::kCheckColumn;
    static constexpr int kNumberColumn = CameraListModel::kNumberColumn;
    static constexpr int kModelColumn = CameraListModel::kModelColumn;
    static constexpr int kIconColumn = CameraListModel::kIconColumn;
    static constexpr int kIpColumn = CameraListModel::kIpColumn;
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

    // Appends a row for the camera (numbered by its place, unchecked, not verified); -1 when the list is full.
    // The texts are what a camera sent: the list makes them safe to show.
    int AppendRow(const ListedCamera& camera = {});
    // Replaces the row's camera; false for a row that does not exist.
    bool SetCamera(int row, const ListedCamera& camera);
    int rowCount() const { return rows->rowCount(); }
    // The text the cell shows.
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

    CameraListModel* rows = nullptr;
    CameraListHeader* header = nullptr;
    SlimScrollBar* scrollBar = nullptr;
    QImage checkedPicture;
    QImage uncheckedPicture;
    QImage iconPicture;
    QImage noPicture;
    uint64_t listGeneration = 1;
    bool requestPending = false;
    QPoint anchor;
};
