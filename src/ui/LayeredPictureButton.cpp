#include "ui/LayeredPictureButton.h"

#include "ui/Drawing.h"

#include <QPainter>

LayeredPictureButton::LayeredPictureButton(QWidget* parent)
    : PictureButton(parent)
{
}

int LayeredPictureButton::CaptionSize() const
{
    return 16;
}

void LayeredPictureButton::PaintLook(QPainter& painter, int state) const
{
    DrawImageStretched(painter, image(state), width(), height());
    if (state == 3)
        DrawImageStretched(painter, image(1), width(), height());
}
