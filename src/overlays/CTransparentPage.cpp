#include "overlays/CTransparentPage.h"

#include "overlays/CAlarmDisplayPage.h"
#include "overlays/CErrorPage.h"
#include "overlays/CNetAlarmPage.h"
#include "overlays/CNoDevicePage.h"
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
        { CTransparentPage::KindAlarm,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                CAlarmDisplayPage alert(dimmer, page, v.mode, v.cancelButton, v.text);
                return alert.Run();
            } },
        { CTransparentPage::KindNetAlarm,
            [](QWidget* dimmer, QPoint page, const OverlayValues&) {
                CNetAlarmPage alert(dimmer, page);
                return alert.Run();
            } },
        { CTransparentPage::KindNoDevice,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                CNoDevicePage alert(dimmer, page, v.text);
                return alert.Run();
            } },
        { CTransparentPage::KindError,
            [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
                CErrorPage alert(dimmer, page, v.text, v.retryResult);
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

CTransparentPage::CTransparentPage(QWidget* page, int kind)
    : ModalLayer(page)
    , overlayKind(kind)
    , pageOrigin(OriginInWindow(page))
{
}

int CTransparentPage::DoModal()
{
    return Run();
}

void CTransparentPage::RegisterOverlay(int kind, OverlayRunner runner)
{
    Runners()[kind] = std::move(runner);
}

bool CTransparentPage::HasOverlay(int kind)
{
    return RunnerFor(kind) != nullptr;
}

int CTransparentPage::ResultFor(int kind, int overlayResult)
{
    const int passed = overlayResult == IDOK ? IDOK : IDCANCEL;
    switch (kind) {
    case KindLedRed:
    case KindReset:
    case KindAlarm:
    case KindNetAlarm:
    case KindNoDevice:
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

void CTransparentPage::Started()
{
    startTimer.start(kStartDelayMs, this);
    WaitTimeline::Note("overlay start delay", kStartDelayMs);
}

void CTransparentPage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != startTimer.timerId()) {
        ModalLayer::timerEvent(event);
        return;
    }
    startTimer.stop();
    if (IsRunning()) // not ended (the window closed) before its overlay came up
        runOverlay();
}

void CTransparentPage::runOverlay()
{
    const OverlayRunner* runner = RunnerFor(overlayKind);
    if (runner == nullptr) {
        End(IDCANCEL); // no overlay of this kind
        return;
    }
    QPointer<CTransparentPage> alive(this);
    const int result = (*runner)(this, pageOrigin, values);
    if (!alive)
        return;
    lastOverlayResult = result;
    End(ResultFor(overlayKind, result));
}

void CTransparentPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    QPainterPath path;
    path.addRoundedRect(QRectF(pageOrigin.x(), pageOrigin.y(), kPageWidth, kPageHeight), 6, 6);
    painter.fillPath(path, QColor(0, 0, 0, 153));
}
