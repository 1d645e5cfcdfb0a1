#pragma once
// The settings every owner-drawn list of the wizard shares: a fixed-height row per item without a row header, the
// given header and cell delegate, column widths, no frame, grid, selection, editing or built-in scroll bars (the
// lists scroll by item with a scroll bar of their own), on white.

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>

class QAbstractItemDelegate;
class QAbstractItemView;
class QHeaderView;
class QImage;
class QPainter;
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

// A rectangle of the viewport in the list's own coordinates, cut to what is in sight (empty when nothing is): where
// an accessible part of the list is.
QRect SeenInView(const QAbstractItemView& view, const QRect& area);

// The row's cell texts, each simplified, the empty ones left out, joined by spaces: the row as a screen reader says
// it.
QString RowTextOf(const QAbstractItemView& view, int row);

// The lists' headers: their columns keep their widths and neither move, sort nor highlight; `height` tall.
constexpr int kHeaderTitleSize = 13;
void SetUpFixedHeader(QHeaderView& header, int height);
QFont HeaderTitleFont();
// Paints the header's bar (its blue where the picture is missing) and each column's title in white, in the column
// less `indent` on the left, aligned as `alignment` says for that column. For the headers' paintEvent.
void PaintHeaderBar(QPainter& painter, const QHeaderView& header, const QImage& bar, const QStringList& titles,
    int indent, const std::function<int(int column)>& alignment);
