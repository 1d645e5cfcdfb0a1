#include "ui/PressableControl.h"

#include <QKeyEvent>

bool PressOnSpace(QKeyEvent* event, const std::function<void()>& press)
{
    if (event->key() != Qt::Key_Space)
        return false;
    if (!event->isAutoRepeat())
        press();
    event->accept();
    return true;
}

PressableControl::PressableControl(QWidget* parent)
    : QWidget(parent)
{
}

void PressableControl::keyPressEvent(QKeyEvent* event)
{
    if (TakesSpace() && PressOnSpace(event, [this] { Press(); }))
        return;
    QWidget::keyPressEvent(event);
}

void PressableControl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void PressableControl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
