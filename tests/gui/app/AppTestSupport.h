#pragma once
// Test helpers for the host and its overlays: delivering what is posted, waiting for a modal layer, and
// finding its buttons.

#include "overlays/ModalLayer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

// Delivers every posted message and deferred deletion.
inline void Deliver()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Waits (running events) until check() holds or ms pass.
inline bool WaitFor(const std::function<bool()>& check, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!check()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Once a modal layer named layerName runs on top, calls act(layer) from inside its run.
inline void WhenLayerRuns(const QString& layerName, std::function<void(ModalLayer*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, layerName, act] {
        ModalLayer* top = ModalLayer::Top();
        if (top == nullptr || top->objectName() != layerName)
            return;
        poll->stop();
        poll->deleteLater();
        act(top);
    });
    poll->start();
}

// Clicks the button named name on layer.
inline void ClickButton(ModalLayer* layer, const QString& name)
{
    auto* button = layer->findChild<QAbstractButton*>(name);
    QVERIFY2(button != nullptr, qPrintable("no button " + name));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}
