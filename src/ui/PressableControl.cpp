#include "ui/PressableControl.h"

#include <QKeyEvent>

PressableControl::PressableControl(QWidget* parent)
    : QWidget(parent)
{
}

void PressableControl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            Press();
        event->accept();
        return;
    }
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
