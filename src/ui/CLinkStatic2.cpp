#include "ui/CLinkStatic2.h"

#include "ui/Drawing.h"

#include <QPainter>

CLinkStatic2::CLinkStatic2(QWidget* parent)
    : CLinkStatic(parent)
{
}

void CLinkStatic2::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(pixelSize, colour, bold);
}

void CLinkStatic2::setIconPos(int x, int y)
{
    position = QPoint(x, y);
    Reflow();
    update();
}

QSize CLinkStatic2::IconSize() const
{
    return QSize(22, 22);
}

void CLinkStatic2::Relayout()
{
    CLinkStatic::Relayout();
    setLinkRect(QRect(position, QSize(22, 22)));
}

void CLinkStatic2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.setFont(TextFont());
    painter.setPen(ColorFromRgb(colour()));
    DrawTextBlock(painter, rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    if (!icon().isNull())
        painter.drawImage(QRectF(linkRect()), icon());
    PaintFocus(painter);
}
