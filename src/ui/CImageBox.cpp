#include "ui/CImageBox.h"

#include "ui/Drawing.h"

#include <QPainter>

CImageBox::CImageBox(QWidget* parent)
    : QWidget(parent)
{
}

void CImageBox::SetImage(int pngId)
{
    picture = QImage();
    if (auto loaded = LoadPngResource(pngId))
        picture = std::move(*loaded);
    update();
}

void CImageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawImageStretched(painter, picture, width(), height());
}
