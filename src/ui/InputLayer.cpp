#include "ui/InputLayer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

InputLayer::InputLayer(QWidget* window, QColor dim)
    : QWidget(window)
    , dimColour(dim)
{
    setGeometry(window->rect());
    setFocusPolicy(Qt::StrongFocus);
    window->installEventFilter(this);
    raise();
}

bool InputLayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void InputLayer::paintEvent(QPaintEvent*)
{
    if (dimColour.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), dimColour);
}

void InputLayer::mousePressEvent(QMouseEvent* event)
{
    emit pressedOutside(event->position().toPoint());
    event->accept();
}

void InputLayer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    event->accept(); // nothing reaches the page while the layer is up
}
