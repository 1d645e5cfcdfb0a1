#include "ui/OwnerDrawnTable.h"

#include <QHeaderView>
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
    table.viewport()->setMouseTracking(true);
    QPalette colours = table.palette();
    colours.setColor(QPalette::Base, Qt::white);
    table.setPalette(colours);
}
