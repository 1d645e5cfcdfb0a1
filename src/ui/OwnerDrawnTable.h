#pragma once
// The settings every owner-drawn list of the wizard shares: a fixed-height row per item without a row header, the
// given header and cell delegate, column widths, no frame, grid, selection, editing or built-in scroll bars (the
// lists scroll by item with a scroll bar of their own), on white.

#include <span>

class QAbstractItemDelegate;
class QHeaderView;
class QTableView;

void SetUpOwnerDrawnTable(QTableView& table, QHeaderView* header, QAbstractItemDelegate* delegate, int rowHeight,
    std::span<const int> columnWidths);
