#include "ui/FadingPictureButton.h"

#include "ui/Drawing.h"

#include <QPainter>

FadingPictureButton::FadingPictureButton(QWidget* parent)
    : PictureButton(parent)
{
}

int FadingPictureButton::CaptionSize() const
{
    return largeCaption() ? 16 : 15;
}

void FadingPictureButton::PaintLook(QPainter& painter, int state) const
{
    switch (state) {
    case 0:
        DrawImageStretched(painter, image(0), width(), height());
        break;
    case 2:
        DrawImageStretchedWithOpacity(painter, image(1), width(), height(), 0.5);
        break;
    default:
        DrawImageStretched(painter, image(1), width(), height());
        break;
    }
}
