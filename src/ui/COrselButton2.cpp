#include "ui/COrselButton2.h"

#include "ui/Drawing.h"

#include <QPainter>

COrselButton2::COrselButton2(QWidget* parent)
    : COrselButton(parent)
{
}

int COrselButton2::CaptionSize() const
{
    return 16;
}

void COrselButton2::PaintLook(QPainter& painter, int state) const
{
    DrawImageStretched(painter, image(state), width(), height());
    if (state == 3)
        DrawImageStretched(painter, image(1), width(), height());
}
