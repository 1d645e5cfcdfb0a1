#include "ui/CImageBox.h"

#include "ui/Drawing.h"

#include <QPainter>

CImageBox::CImageBox(QWidget* parent)
    : QWidget(parent)
{
}

void CImageBox::SetImage(int pngId)
{
    picture.Load(pngId, devicePixelRatioF());
    picture.Fit(size(), devicePixelRatioF());
    update();
}

void CImageBox::resizeEvent(QResizeEvent* event)
{
    picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void CImageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawImageStretched(painter, picture.image(), width(), height());
}
