#pragma once
// A numbered window message (message, wParam, lParam) delivered as a posted Qt event.
// Posted messages reach a receiver in posting order; receivers handle them in one onMessage().

#include <QEvent>
#include <cstdint>

class QObject;

class WindowMessage : public QEvent
{
public:
    WindowMessage(int message, intptr_t wParam, intptr_t lParam);

    // The event type every window message carries (registered once).
    static QEvent::Type EventType();

    int message() const { return msg; }
    intptr_t wParam() const { return wp; }
    intptr_t lParam() const { return lp; }

private:
    int msg;
    intptr_t wp;
    intptr_t lp;
};

// Posts a window message to receiver; it is handled after the messages posted before it. A null receiver is ignored.
void PostWindowMessage(QObject* receiver, int message, intptr_t wParam = 0, intptr_t lParam = 0);

// The window message an event carries, or nullptr when the event is something else.
const WindowMessage* AsWindowMessage(const QEvent* event);
