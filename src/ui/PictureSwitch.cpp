#include "ui/PictureSwitch.h"

#include "ui/Drawing.h"

#include <QPainter>

PictureSwitch::PictureSwitch(QWidget* parent)
    : QWidget(parent)
{
}

void PictureSwitch::resizeEvent(QResizeEvent* event)
{
    picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void PictureSwitch::setIndex(int index)
{
    // Only the picture shown is decoded (the four together hold 1.4 MB at 1x).
    const int slot = index >= 0 && index < 4 ? index : -1;
    if (slot != loaded) {
        loaded = slot;
        if (slot < 0) {
            picture.Reset();
        } else {
            picture.Load(4051 + slot, devicePixelRatioF());
            picture.Fit(size(), devicePixelRatioF());
        }
    }
    shown = index;
    update();
}

QImage PictureSwitch::image(int slot) const
{
    if (slot < 0 || slot >= 4)
        return QImage();
    if (slot == loaded)
        return picture.image();
    FittedPicture other;
    other.Load(4051 + slot, devicePixelRatioF());
    other.Fit(size(), devicePixelRatioF());
    return other.image();
}

void PictureSwitch::paintEvent(QPaintEvent*)
{
    if (shown < 0 || shown >= 4)
        return;
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawImageStretched(painter, image(shown), width(), height());
}
