#include "ui/RedFrameBox.h"

#include "ui/Drawing.h"

#include <QPainter>

RedFrameBox::RedFrameBox(QWidget* parent)
    : QWidget(parent)
{
}

void RedFrameBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 1, 1);
}
