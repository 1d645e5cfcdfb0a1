#include "ui/FixedIconHelpLink.h"

#include "ui/Drawing.h"

#include <QPainter>

FixedIconHelpLink::FixedIconHelpLink(QWidget* parent)
    : HelpLink(parent)
{
}

void FixedIconHelpLink::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(pixelSize, colour, bold);
}

void FixedIconHelpLink::setIconPos(int x, int y)
{
    position = QPoint(x, y);
    Reflow();
    update();
}

QSize FixedIconHelpLink::IconSize() const
{
    return QSize(22, 22);
}

void FixedIconHelpLink::Relayout()
{
    HelpLink::Relayout();
    setLinkRect(QRect(position, QSize(22, 22)));
}

void FixedIconHelpLink::paintEvent(QPaintEvent*)
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
