#include "pages/CCamHeaderCtrl.h"

#include "ui/Drawing.h"

#include <QPainter>

CCamHeaderCtrl::CCamHeaderCtrl(QWidget* list)
    : QHeaderView(Qt::Horizontal, list)
{
    setObjectName(QStringLiteral("camHeader"));
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsMovable(false);
    setSectionsClickable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setFixedHeight(kHeight);
}

void CCamHeaderCtrl::SetTitles(const QStringList& titles, int centredColumn)
{
    columnTitles = titles;
    centred = centredColumn;
    viewport()->update();
}

void CCamHeaderCtrl::SetImage(int pngId)
{
    bar = QImage();
    if (auto picture = LoadPngResource(pngId))
        bar = std::move(*picture);
    viewport()->update();
}

QFont CCamHeaderCtrl::TitleFont() const
{
    return MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kTitleSize, false);
}

QSize CCamHeaderCtrl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

void CCamHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PrepareGraphics(painter);
    if (bar.isNull())
        painter.fillRect(viewport()->rect(), QColor(42, 169, 209));
    else
        painter.drawImage(QRectF(viewport()->rect()), bar);
    painter.setFont(TitleFont());
    painter.setPen(Qt::white);
    for (int column = 0; column < count(); ++column) {
        const QString title = columnTitles.value(column);
        if (title.isEmpty())
            continue;
        const QRect cell(sectionViewportPosition(column) + 4, 0, sectionSize(column) - 4, height());
        const int align = column == centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
        DrawTextBlock(painter, cell, align | Qt::TextSingleLine, title);
    }
}

// No resizing, no sorting.
void CCamHeaderCtrl::mousePressEvent(QMouseEvent*) { }
void CCamHeaderCtrl::mouseReleaseEvent(QMouseEvent*) { }
void CCamHeaderCtrl::mouseDoubleClickEvent(QMouseEvent*) { }
