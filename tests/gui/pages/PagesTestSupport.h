#pragma once
// Test helpers: a host stand-in that records the window messages the pages post to it, a way to act on the
// overlay that is up once it shows, the camera password overlays' OK and error box, and the fixtures several page
// tests share (a camera page past its first search, a recorder list of three rows).

#include "../support/MessageRecorder.h"
#include "overlays/ErrorAlert.h"
#include "overlays/ModalLayer.h"
#include "pages/CameraPage.h"
#include "pages/RecorderList.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTest>
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

// Clicks an overlay's OK button (object name "ok").
inline void ClickOk(QWidget* overlay)
{
    QTest::mouseClick(overlay->findChild<PictureButton*>(QStringLiteral("ok")), Qt::LeftButton);
}

// Does what, then returns the text of the error box that came up within ms (closed with its Close button); empty
// when none came.
inline QString ErrorBoxAfter(const std::function<void()>& what, int ms)
{
    QString error;
    QObject context; // ends the watch with the call
    WhenShown<ErrorAlert>(&context, [&error](ErrorAlert* box) {
        error = box->message();
        QTest::mouseClick(box->findChild<FadingPictureButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    });
    what();
    QElapsedTimer clock;
    clock.start();
    while (error.isEmpty() && clock.elapsed() < ms)
        QTest::qWait(20);
    return error;
}

// Waits (handling events) until condition holds or ms have passed; whether it holds.
inline bool WaitFor(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms)
        QTest::qWait(10);
    return condition();
}

// A camera page over host whose own first search (no recorder: it cannot even be made) has ended.
inline std::unique_ptr<CameraPage> SettledCameraPage(QWidget* host, WizardContext& context)
{
    auto page = std::make_unique<CameraPage>(host, context);
    page->show();
    WaitFor([&] { return page->searchRunning(); }, 2000);
    WaitFor([&] { return !page->searchRunning(); }, 5000);
    return page;
}

// Rows 1 to rows of recorders at 10.77.0.10, .11, ... with the MACs 00:1a:2b:3c:4d:00, :01, ...
inline void FillRecorderList(RecorderList& list, int rows)
{
    for (int i = 0; i < rows; ++i) {
        FoundRecorder found;
        found.recorder.address = QStringLiteral("10.77.0.%1").arg(10 + i).toStdString();
        found.recorder.mac = QStringLiteral("00:1a:2b:3c:4d:%1").arg(i, 2, 10, QLatin1Char('0')).toStdString();
        list.AppendRow(found);
    }
}
