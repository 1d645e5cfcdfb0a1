#include "ui/CImageButton.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CImageButton::CImageButton(QWidget* parent)
    : PressableControl(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void CImageButton::SetImage(int pngId)
{
    picture.Load(pngId, devicePixelRatioF());
    picture.Fit(size(), devicePixelRatioF());
    update();
}

void CImageButton::resizeEvent(QResizeEvent* event)
{
    picture.Fit(size(), devicePixelRatioF());
    QWidget::resizeEvent(event);
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
    DrawImageStretched(painter, picture.image(), width(), height());
    if (hasFocus())
        PaintFocusMark(painter, QRectF(rect()), 3);
}

void CImageButton::Press()
{
    if (isEnabled() && overlayKind != NO_OVERLAY)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, overlayKind, 0);
}

void CImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Press();
    QWidget::mousePressEvent(event);
    event->accept(); // the button keeps its clicks: the page below must not start moving the window
}
