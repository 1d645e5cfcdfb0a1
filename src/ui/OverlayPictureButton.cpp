#include "ui/OverlayPictureButton.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

OverlayPictureButton::OverlayPictureButton(QWidget* parent)
    : PressableControl(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void OverlayPictureButton::SetImage(int pngId)
{
    picture.Load(pngId, devicePixelRatioF());
    picture.Fit(size(), devicePixelRatioF());
    update();
}

void OverlayPictureButton::resizeEvent(QResizeEvent* event)
{
    picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void OverlayPictureButton::setBackground(Rgb colour)
{
    background = colour;
    update();
}

void OverlayPictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), ColorFromRgb(background));
    DrawImageStretched(painter, picture.image(), width(), height());
    if (hasFocus())
        PaintFocusMark(painter, QRectF(rect()), 3);
}

void OverlayPictureButton::Press()
{
    if (isEnabled() && overlayKind != NO_OVERLAY)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, overlayKind, 0);
}

void OverlayPictureButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Press();
    QWidget::mousePressEvent(event);
    event->accept(); // the button keeps its clicks: the page below must not start moving the window
}
