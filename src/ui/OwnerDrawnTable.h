#pragma once
// The settings every owner-drawn list of the wizard shares: a fixed-height row per item without a row header, the
// given header and cell delegate, column widths, no frame, grid, selection, editing or built-in scroll bars (the
// lists scroll by item with a scroll bar of their own), on white.

#include <span>

class QAbstractItemDelegate;
class QAbstractItemView;
class QHeaderView;
class QRect;
class QTableView;

// Tab leaves the list for the next control (it does not walk the cells); the arrow keys move the current row.
void SetUpOwnerDrawnTable(QTableView& table, QHeaderView* header, QAbstractItemDelegate* delegate, int rowHeight,
    std::span<const int> columnWidths);

// The row's rectangle across the visible columns, in viewport coordinates (empty when it is out of sight).
QRect RowRectOf(const QAbstractItemView& view, int row);

// The keyboard focus mark around the current row, drawn on the viewport over what the cells painted, when the
// list has the focus. For the lists' paintEvent, after the cells.
void PaintRowFocusMark(QAbstractItemView& view);
