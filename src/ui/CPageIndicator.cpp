#include "ui/CPageIndicator.h"

#include "ui/Drawing.h"

#include <QPainter>

CPageIndicator::CPageIndicator(QWidget* parent)
    : QWidget(parent)
{
}

void CPageIndicator::setFilled(int count)
{
    filledDots = count;
    update();
}

void CPageIndicator::setTotal(int count)
{
    totalDots = count;
    update();
}

void CPageIndicator::setGap(int pixels)
{
    gapPixels = pixels;
    update();
}

void CPageIndicator::setRadius(int pixels)
{
    radiusPixels = pixels;
    update();
}

QRect CPageIndicator::DotRect(int i) const
{
    return QRect(i * (gapPixels + 2 * radiusPixels), 0, 2 * radiusPixels, 2 * radiusPixels);
}

void CPageIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    const QColor grey = ColorFromArgb(0xFFC4C4C4u);
    for (int i = 0; i < totalDots; ++i) {
        const QRectF dot = DotRect(i);
        if (i < filledDots) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(grey);
            painter.drawEllipse(dot);
        } else {
            painter.setPen(QPen(grey, 1));
            painter.setBrush(Qt::white);
            painter.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}
