#include "ui/FocusSpot.h"

#include "ui/Drawing.h"

#include <QKeyEvent>
#include <QPainter>

FocusSpot::FocusSpot(QWidget* parent, std::function<void()> press)
    : QWidget(parent)
    , pressed(std::move(press))
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void FocusSpot::Press()
{
    if (isEnabled() && pressed)
        pressed();
}

void FocusSpot::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    PaintFocusMark(painter, QRectF(rect()), 4);
}

void FocusSpot::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            Press();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FocusSpot::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void FocusSpot::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
