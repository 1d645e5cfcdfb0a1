#include "overlays/Dimmer.h"

#include "overlays/DiskAlert.h"
#include "overlays/ErrorAlert.h"
#include "overlays/NoInternetAlert.h"
#include "overlays/PortalHostAlert.h"
#include "overlays/RecorderNotFoundHelp.h"
#include "platform/WaitTimeline.h"
#include "ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimerEvent>
#include <map>

namespace {

constexpr int kPageWidth = 860;
constexpr int kPageHeight = 640;
constexpr int kStartDelayMs = 50;

std::map<int, OverlayRunner>& Runners()
{
    static std::map<int, OverlayRunner> runners;
    return runners;
}

// The alert overlays live here; the others are registered by whoever links them.
const OverlayRunner* BuiltInRunner(int kind)
{
    static const std::map<int, OverlayRunner> builtIn = {
        { Dimmer::KindAlarm,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                DiskAlert alert(dimmer, page, v.mode, v.cancelButton, v.text);
                return alert.Run();
            } },
        { Dimmer::KindNetAlarm,
            [](QWidget* dimmer, QPoint page, const OverlayValues&) {
                NoInternetAlert alert(dimmer, page);
                return alert.Run();
            } },
        { Dimmer::KindNoDevice,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                RecorderNotFoundHelp alert(dimmer, page, v.text);
                return alert.Run();
            } },
        { Dimmer::KindError,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                ErrorAlert alert(dimmer, page, v.text, v.retryResult, v.closeCaption);
                return alert.Run();
            } },
        { Dimmer::KindPortalHost,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                PortalHostAlert alert(dimmer, page, v.text);
                return alert.Run();
            } },
    };
    auto it = builtIn.find(kind);
    return it == builtIn.end() ? nullptr : &it->second;
}

const OverlayRunner* RunnerFor(int kind)
{
    auto it = Runners().find(kind);
    if (it != Runners().end() && it->second)
        return &it->second;
    return BuiltInRunner(kind);
}

} // namespace

Dimmer::Dimmer(QWidget* page, int kind)
    : ModalLayer(page)
    , overlayKind(kind)
    , pageOrigin(OriginInWindow(page))
{
}

int Dimmer::DoModal()
{
    return Run();
}

void Dimmer::RegisterOverlay(int kind, OverlayRunner runner)
{
    Runners()[kind] = std::move(runner);
}

bool Dimmer::HasOverlay(int kind)
{
    return RunnerFor(kind) != nullptr;
}

int Dimmer::ResultFor(int kind, int overlayResult)
{
    const int passed = overlayResult == IDOK ? IDOK : IDCANCEL;
    switch (kind) {
    case KindLedRed:
    case KindReset:
    case KindAlarm:
    case KindNetAlarm:
    case KindNoDevice:
    case KindPortalHost:
        return passed;
    case KindMacDisplay:
    case KindInstallCam:
    case KindCameraPwd:
    case KindPreview:
    case KindTerms:
        return IDOK;
    default: // the about box, the error box and kinds without an overlay
        return IDCANCEL;
    }
}

void Dimmer::Started()
{
    startTimer.start(kStartDelayMs, this);
    WaitTimeline::Note("overlay start delay", kStartDelayMs);
}

void Dimmer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != startTimer.timerId()) {
        ModalLayer::timerEvent(event);
        return;
    }
    startTimer.stop();
    if (IsRunning()) // not ended (the window closed) before its overlay came up
        runOverlay();
}

void Dimmer::runOverlay()
{
    const OverlayRunner* runner = RunnerFor(overlayKind);
    if (runner == nullptr) {
        End(IDCANCEL); // no overlay of this kind
        return;
    }
    QPointer<Dimmer> alive(this);
    const int result = (*runner)(this, pageOrigin, values);
    if (!alive)
        return;
    lastOverlayResult = result;
    End(ResultFor(overlayKind, result));
}

void Dimmer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    QPainterPath path;
    path.addRoundedRect(QRectF(pageOrigin.x(), pageOrigin.y(), kPageWidth, kPageHeight), 6, 6);
    painter.fillPath(path, QColor(0, 0, 0, 153));
}
