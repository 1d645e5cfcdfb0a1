#include "ui/CGroupImageBox.h"

#include "ui/Drawing.h"

#include <QPainter>

CGroupImageBox::CGroupImageBox(QWidget* parent)
    : QWidget(parent)
{
    for (int slot = 0; slot < 4; ++slot) {
        pictures[static_cast<size_t>(slot)].Load(4051 + slot, devicePixelRatioF());
        pictures[static_cast<size_t>(slot)].Fit(size(), devicePixelRatioF());
    }
}

void CGroupImageBox::resizeEvent(QResizeEvent* event)
{
    for (FittedPicture& picture : pictures)
        picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void CGroupImageBox::setIndex(int index)
{
    shown = index;
    update();
}

const QImage& CGroupImageBox::image(int slot) const
{
    static const QImage none;
    if (slot < 0 || slot >= 4)
        return none;
    return pictures[static_cast<size_t>(slot)].image();
}

void CGroupImageBox::paintEvent(QPaintEvent*)
{
    if (shown < 0 || shown >= 4)
        return;
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawImageStretched(painter, image(shown), width(), height());
}
