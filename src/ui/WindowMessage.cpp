#include "ui/WindowMessage.h"

#include <QCoreApplication>

WindowMessage::WindowMessage(int message, intptr_t wParam, intptr_t lParam)
    : QEvent(EventType())
    , msg(message)
    , wp(wParam)
    , lp(lParam)
{
}

QEvent::Type WindowMessage::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWindowMessage(QObject* receiver, int message, intptr_t wParam, intptr_t lParam)
{
    if (receiver == nullptr)
        return;
    QCoreApplication::postEvent(receiver, new WindowMessage(message, wParam, lParam));
}

const WindowMessage* AsWindowMessage(const QEvent* event)
{
    if (event == nullptr || event->type() != WindowMessage::EventType())
        return nullptr;
    return static_cast<const WindowMessage*>(event);
}
