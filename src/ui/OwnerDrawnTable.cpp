#include "ui/OwnerDrawnTable.h"

#include "ui/Drawing.h"

#include <QHeaderView>
#include <QPainter>
#include <QPalette>
#include <QTableView>

void SetUpOwnerDrawnTable(QTableView& table, QHeaderView* header, QAbstractItemDelegate* delegate, int rowHeight,
    std::span<const int> columnWidths)
{
    table.setHorizontalHeader(header);
    table.verticalHeader()->hide();
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setDefaultSectionSize(rowHeight);
    for (size_t column = 0; column < columnWidths.size(); ++column)
        table.setColumnWidth(static_cast<int>(column), columnWidths[column]);
    table.setItemDelegate(delegate);
    table.setFrameShape(QFrame::NoFrame);
    table.setShowGrid(false);
    table.setSelectionMode(QAbstractItemView::NoSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setWordWrap(false);
    table.setTabKeyNavigation(false);
    table.setFocusPolicy(Qt::TabFocus);
    table.viewport()->setMouseTracking(true);
    QPalette colours = table.palette();
    colours.setColor(QPalette::Base, Qt::white);
    table.setPalette(colours);
}

QRect RowRectOf(const QAbstractItemView& view, int row)
{
    const QAbstractItemModel* model = view.model();
    if (model == nullptr || row < 0 || row >= model->rowCount())
        return QRect();
    QRect area;
    for (int column = 0; column < model->columnCount(); ++column)
        area = area.united(view.visualRect(model->index(row, column)));
    return area.intersected(view.viewport()->rect());
}

void PaintRowFocusMark(QAbstractItemView& view)
{
    if (!view.hasFocus() || !view.currentIndex().isValid())
        return;
    const QRect row = RowRectOf(view, view.currentIndex().row());
    if (row.isEmpty())
        return;
    QPainter painter(view.viewport());
    PaintFocusMark(painter, QRectF(row), 4);
}
