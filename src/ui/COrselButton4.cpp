#include "ui/COrselButton4.h"

#include "ui/Drawing.h"

#include <QPainter>

COrselButton4::COrselButton4(QWidget* parent)
    : COrselButton(parent)
{
}

int COrselButton4::CaptionSize() const
{
    return largeCaption() ? 16 : 15;
}

void COrselButton4::PaintLook(QPainter& painter, int state) const
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
