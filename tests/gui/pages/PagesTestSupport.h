#pragma once
// Test helpers: a host stand-in that records the window messages the pages post to it, and a way to act on the
// overlay that is up once it shows.

#include "../support/MessageRecorder.h"
#include "overlays/ModalLayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

// An 860 x 640 window standing in for the wizard host; it records every window message it receives.
class RecordingHost : public MessageRecorder
{
public:
    RecordingHost()
    {
        setFixedSize(860, 640);
        setAttribute(Qt::WA_DontShowOnScreen);
        show();
    }
};

// Waits (handling events) until the top-most running layer is of type T, then calls act with it. Gives up after
// two seconds and ends every layer, so a test that misses its overlay fails instead of hanging.
template <class T> void WhenShown(QObject* context, std::function<void(T*)> act)
{
    auto* poll = new QTimer(context);
    auto clock = std::make_shared<QElapsedTimer>(); // goes with the connection, however the wait ends
    clock->start();
    QObject::connect(poll, &QTimer::timeout, context, [poll, clock, act] {
        if (T* top = qobject_cast<T*>(ModalLayer::Top())) {
            poll->stop();
            poll->deleteLater();
            act(top);
        } else if (clock->elapsed() > 2000) {
            poll->stop();
            poll->deleteLater();
            while (ModalLayer* layer = ModalLayer::Top())
                layer->End(ModalLayer::IDCANCEL);
        }
    });
    poll->start(10);
}
