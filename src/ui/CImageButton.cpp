#include "ui/CImageButton.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>

CImageButton::CImageButton(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void CImageButton::SetImage(int pngId)
{
    picture = QImage();
    if (auto loaded = LoadPngResource(pngId))
        picture = std::move(*loaded);
    update();
}

void CImageButton::setBackground(Rgb colour)
{
    background = colour;
    update();
}

void CImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), ColorFromRgb(background));
    DrawImageStretched(painter, picture, width(), height());
}

void CImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && overlayKind != NO_OVERLAY)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, overlayKind, 0);
    QWidget::mousePressEvent(event);
}
