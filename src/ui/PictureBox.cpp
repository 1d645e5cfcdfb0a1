#include "ui/PictureBox.h"

#include "ui/Drawing.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
}

void PictureBox::SetImage(int pngId)
{
    picture.Load(pngId, devicePixelRatioF());
    picture.Fit(size(), devicePixelRatioF());
    update();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawImageStretched(painter, picture.image(), width(), height());
}
