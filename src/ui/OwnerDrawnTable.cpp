#include "ui/OwnerDrawnTable.h"

#include "ui/Drawing.h"

#include <QHeaderView>
#include <QImage>
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

QRect SeenInView(const QAbstractItemView& view, const QRect& area)
{
    const QRect seen = area.intersected(view.viewport()->rect());
    return seen.isEmpty() ? seen : seen.translated(view.viewport()->pos());
}

QString RowTextOf(const QAbstractItemView& view, int row)
{
    const QAbstractItemModel* model = view.model();
    QStringList texts;
    for (int column = 0; model != nullptr && column < model->columnCount(); ++column) {
        if (const QString text = model->index(row, column).data(Qt::DisplayRole).toString().simplified();
            !text.isEmpty())
            texts << text;
    }
    return texts.join(QLatin1Char(' '));
}

void SetUpFixedHeader(QHeaderView& header, int height)
{
    header.setSectionResizeMode(QHeaderView::Fixed);
    header.setSectionsMovable(false);
    header.setSectionsClickable(false);
    header.setHighlightSections(false);
    header.setStretchLastSection(false);
    header.setFixedHeight(height);
}

QFont HeaderTitleFont()
{
    return MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kHeaderTitleSize, false);
}

void PaintHeaderBar(QPainter& painter, const QHeaderView& header, const QImage& bar, const QStringList& titles,
    int indent, const std::function<int(int column)>& alignment)
{
    if (bar.isNull())
        painter.fillRect(header.viewport()->rect(), QColor(42, 169, 209));
    else
        painter.drawImage(QRectF(header.viewport()->rect()), bar);
    painter.setFont(HeaderTitleFont());
    painter.setPen(Qt::white);
    for (int column = 0; column < header.count(); ++column) {
        const QString title = titles.value(column);
        if (title.isEmpty())
            continue;
        const QRect cell(
            header.sectionViewportPosition(column) + indent, 0, header.sectionSize(column) - indent, header.height());
        DrawTextBlock(painter, cell, alignment(column) | Qt::TextSingleLine, title);
    }
}
