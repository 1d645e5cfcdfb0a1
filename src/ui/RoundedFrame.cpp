#include "ui/RoundedFrame.h"

#include "ui/Drawing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

RoundedFrame::RoundedFrame(QWidget* parent)
    : PressableControl(parent)
{
    // An entry in the box (or framed by it) taking or losing the keyboard changes the box's mark.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        for (QWidget* widget : { old, now }) {
            if (widget != nullptr && widget != this && (widget == framed || isAncestorOf(widget)))
                update();
        }
    });
}

void RoundedFrame::setFramedControl(QWidget* control)
{
    framed = control;
    update();
}

bool RoundedFrame::framesFocus() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return false;
    return focus == this || (framed != nullptr && focus == framed) || isAncestorOf(focus);
}

void RoundedFrame::setFill(Argb colour)
{
    fillColour = colour;
    update();
}

void RoundedFrame::setBorder(Argb colour, int width)
{
    borderColour = colour;
    borderPixels = width;
    update();
}

void RoundedFrame::setRadius(int pixels)
{
    cornerRadius = pixels;
    update();
}

void RoundedFrame::SetText(const QString& fontFamily, const QString& text, int pixelSize, Argb colour)
{
    textOn = true;
    family = ChooseFontFamily(fontFamily);
    boxText = text;
    size = pixelSize;
    textColour = colour;
    update();
}

void RoundedFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    DrawRoundedBox(painter, 0, 0, width(), height(), cornerRadius, fillColour, borderColour, borderPixels);
    if (textOn) {
        painter.setFont(MakeFont(family, size, false));
        painter.setPen(ColorFromArgb(textColour));
        DrawTextBlock(
            painter, rect().adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, boxText);
    }
    if (framesFocus())
        PaintFocusMark(painter, QRectF(rect()), cornerRadius);
}

void RoundedFrame::setPressable(bool on)
{
    pressableOn = on;
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void RoundedFrame::Press()
{
    if (isEnabled())
        emit pressed();
}

void RoundedFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed();
    QWidget::mousePressEvent(event);
}
