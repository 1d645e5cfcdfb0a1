#include "ui/ProgressDots.h"

#include "ui/Drawing.h"

#include <QPainter>

ProgressDots::ProgressDots(QWidget* parent)
    : QWidget(parent)
{
}

void ProgressDots::setFilled(int count)
{
    filledDots = count;
    update();
}

void ProgressDots::setTotal(int count)
{
    totalDots = count;
    update();
}

void ProgressDots::setGap(int pixels)
{
    gapPixels = pixels;
    update();
}

void ProgressDots::setRadius(int pixels)
{
    radiusPixels = pixels;
    update();
}

QRect ProgressDots::DotRect(int i) const
{
    return QRect(i * (gapPixels + 2 * radiusPixels), 0, 2 * radiusPixels, 2 * radiusPixels);
}

void ProgressDots::paintEvent(QPaintEvent*)
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
