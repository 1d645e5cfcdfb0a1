#include "pages/TimeZonePage.h"

#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "pages/ZoneListBox.h"
#include "platform/WaitTimeline.h"
#include "session/WizardContext.h"
#include "ui/AccessibleControls.h"
#include "ui/DeviceText.h"
#include "ui/ErrorLine.h"
#include "ui/LayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/RoundedFrame.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kZoneFontSize = 16;
constexpr Argb kZoneText = 0xFF636566u;
constexpr int kArrowArea = 30;
const char* const kRefused = TimeZoneStep::kRefused;

// The small down arrow at the zone box's right end; clicks go through to the box.
class DropArrow : public QWidget
{
public:
    explicit DropArrow(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        PrepareGraphics(painter);
        QPainterPath arrow;
        const QPointF centre = QRectF(rect()).center();
        arrow.moveTo(centre.x() - 5, centre.y() - 2.5);
        arrow.lineTo(centre.x() + 5, centre.y() - 2.5);
        arrow.lineTo(centre.x(), centre.y() + 3.5);
        arrow.closeSubpath();
        painter.fillPath(arrow, QColor(68, 202, 220));
    }
};

} // namespace

TimeZonePage::TimeZonePage(QWidget* host, WizardContext& wizardContext, bool load)
    : WizardPage(host, 8, 3001)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
    , step(std::make_unique<TimeZoneStep>())
{
    SetTitle(FromUtf8(Text("SetupTimeZone_title", "Set time zone")));
    ShowNavButtons(true, true);

    label = new TextLabel(this);
    label->setObjectName(QStringLiteral("zoneLabel"));
    label->SetFont(15, MakeRgb(0x63, 0x65, 0x66), false);
    label->setGeometry(QRect(QPoint(60, 184), QPoint(200, 216)));
    label->SetText(FromUtf8(Text("SetupTimeZone_01", "Time zone:")));

    box = new RoundedFrame(this);
    box->setObjectName(QStringLiteral("zoneBox"));
    box->setGeometry(220, 180, 580, 32);
    box->setFill(0xFFFFFFFFu);
    box->setBorder(0xFFC0C0C0u, 1);
    box->setRadius(4);
    box->setCursor(Qt::PointingHandCursor);
    box->SetText(QStringLiteral("Verdana"), QString(), kZoneFontSize, kZoneText);
    auto* arrow = new DropArrow(box);
    arrow->setGeometry(box->width() - kArrowArea, 0, kArrowArea, box->height());
    connect(box, &RoundedFrame::pressed, this, [this] { OpenZoneList(); });
    box->setPressable(true);
    SetAccessibleLabel(box, label);

    error = new ErrorLine(this);
    error->setObjectName(QStringLiteral("errorLine"));
    error->SetFont(14, 0xFFFF0000u);
    error->setCharWrap(ChineseText());
    error->setGeometry(182, 258, 658, 32);
    error->hide();

    list = new ZoneListBox(this);
    list->setGeometry(220, 212, 580, 200);
    list->hide();
    connect(list, &ZoneListBox::zoneChosen, this, [this](int row) { chooseRow(row); });
    connect(list, &ZoneListBox::closeRequested, this, [this] {
        list->hide();
        box->setFocus(Qt::OtherFocusReason);
    });

    if (load) {
        QTimer::singleShot(50, this, [this] { loadZones(); });
        WaitTimeline::Note("zone list delay", 50);
    }
}

TimeZonePage::~TimeZonePage()
{
    Leave();
}

void TimeZonePage::Leave()
{
    left = true;
    stopWorker();
    waiting.store(0); // a waiting box still up ends at its next tick
}

void TimeZonePage::ShowZones(const std::vector<std::string>& names, int currentZone)
{
    zoneNames = names;
    QStringList rows;
    for (const std::string& name : zoneNames)
        rows << ShownDeviceText(name); // the recorder names its zones
    zone = currentZone >= 1 && currentZone <= zoneCount() ? currentZone : -1;
    list->SetZones(rows, zone - 1);
    showZoneName();
}

void TimeZonePage::OpenZoneList()
{
    error->hide();
    list->show();
    list->raise();
    list->ScrollToSelected();
    list->setFocus(Qt::MouseFocusReason);
}

void TimeZonePage::chooseRow(int row)
{
    if (row < 0 || row >= zoneCount())
        return;
    zone = row + 1;
    showZoneName();
}

void TimeZonePage::showZoneName()
{
    QString name;
    if (zone >= 1 && zone <= zoneCount()) {
        const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kZoneFontSize, false));
        name = metrics.elidedText(
            ShownDeviceText(zoneNames[static_cast<size_t>(zone - 1)]), Qt::ElideRight, box->width() - 5 - kArrowArea);
    }
    box->SetText(QStringLiteral("Verdana"), name, kZoneFontSize, kZoneText);
}

void TimeZonePage::showErrorLine(const QString& text)
{
    list->hide();
    error->SetText(text);
    error->show();
}

void TimeZonePage::mousePressEvent(QMouseEvent* event)
{
    // The zone box passes its press on: it opened the list and must neither close it again nor drag the wizard.
    if (box->geometry().contains(event->position().toPoint())) {
        event->accept();
        return;
    }
    // A press on the page while the list is open only closes the list; the next one drags the wizard.
    if (event->button() == Qt::LeftButton && list->isVisible()) {
        list->hide();
        event->accept();
        return;
    }
    WizardPage::mousePressEvent(event);
}

void TimeZonePage::runWaitingBox()
{
    WaitingBox waitingBox(this, &waiting, kWaitTicks);
    boxRunning = true;
    waitingBox.DoModal();
    boxRunning = false;
}

bool TimeZonePage::showNetworkError(bool offerRetry)
{
    Dimmer dimmer(this, Dimmer::KindError);
    dimmer.values.text = Text("Check Network Failed!", "Check Network Failed!");
    dimmer.values.retryResult = offerRetry ? kRetryResult : 0;
    dimmer.DoModal();
    return offerRetry && dimmer.overlayResult() == kRetryResult;
}

// Loading: the list worker reads the list and the current zone while the waiting box shows. A failure of either shows
// the error box over the waiting box; RETRY there reads everything again.
void TimeZonePage::loadZones()
{
    QPointer<TimeZonePage> alive(this);
    do {
        if (left || busy())
            return;
        retryLoading = false;
        const int language = RecorderLanguageNumber(); // the wizard's language as it is now
        startWorker([this, language] { step->StartRead(recorder, language); }, &TimeZonePage::listLoaded);
        waiting.store(1);
        runWaitingBox();
    } while (alive && retryLoading);
}

void TimeZonePage::startWorker(
    const std::function<void()>& start, void (TimeZonePage::*done)(uint32_t, const TimeZoneResult&))
{
    stopWorker();
    const uint32_t tag = ++workerTag;
    workerRunning.store(1);
    // The step touches no widget: its result goes to the page as a queued call, its last act.
    step->SetFinished([this, tag, done] {
        const TimeZoneResult result = step->Result();
        QMetaObject::invokeMethod(
            this, [this, tag, done, result] { (this->*done)(tag, result); }, Qt::QueuedConnection);
    });
    start();
}

void TimeZonePage::stopWorker()
{
    step->Stop(); // a request in flight ends at once
    workerRunning.store(0);
}

void TimeZonePage::listLoaded(uint32_t tag, const TimeZoneResult& result)
{
    if (left || tag != workerTag)
        return;
    stopWorker(); // it has ended: this call was its last act
    if (result.listRead)
        ShowZones(result.names, result.zoneRead ? result.currentZone : -1);
    else
        ShowZones({}, -1);
    if (result.listRead && result.zoneRead) {
        nextButton()->setEnabled(true);
        waiting.store(0);
        return;
    }
    // Either read failed: RETRY reads both again.
    QPointer<TimeZonePage> alive(this);
    const bool retry = showNetworkError(true);
    if (!alive || left)
        return;
    if (retry) {
        retryLoading = true;
        if (!boxRunning)
            QTimer::singleShot(0, this, [this] { loadZones(); });
    } else {
        // Without the list nothing can be set; with it (only the current zone unread) the user picks a zone.
        nextButton()->setEnabled(result.listRead);
    }
    waiting.store(0);
}

void TimeZonePage::OnNext()
{
    if (left || busy())
        return;
    if (zone < 1 || zone > zoneCount()) {
        showErrorLine(FromUtf8(Text("SetupTimeZone_error", "Please choose a time zone for your NVR.")));
        return;
    }
    setFailed = false;
    setSettled = false;
    const int zoneNumber = zone;
    startWorker([this, zoneNumber] { step->StartSet(recorder, zoneNumber); }, &TimeZonePage::zoneSet);
    waiting.store(1);
    QPointer<TimeZonePage> alive(this);
    runWaitingBox();
    // The box may end by its limit before the worker: then the outcome acts when it arrives.
    if (alive && !left && setSettled)
        actOnSetting();
}

void TimeZonePage::zoneSet(uint32_t tag, const TimeZoneResult& result)
{
    if (left || tag != workerTag)
        return;
    stopWorker();
    QPointer<TimeZonePage> alive(this);
    switch (result.setting) {
    case TimeZoneResult::Setting::Done:
        setFailed = false;
        break;
    case TimeZoneResult::Setting::Refused:
        setFailed = true;
        showErrorLine(QString::fromLatin1(kRefused));
        break;
    default: {
        setFailed = true;
        const bool retry = showNetworkError(true);
        if (!alive || left)
            return;
        retrySetting = retry;
        break;
    }
    }
    setSettled = true;
    waiting.store(0);
    if (!boxRunning)
        actOnSetting();
}

void TimeZonePage::actOnSetting()
{
    if (left)
        return;
    if (setFailed) {
        // RETRY in the error box sets the same zone again, once the waiting box has gone.
        if (retrySetting) {
            retrySetting = false;
            QTimer::singleShot(0, this, [this] { OnNext(); });
        }
        return;
    }
    left = true; // the page is done: nothing more of it runs
    context.Session().zoneName = zone >= 1 && zone <= zoneCount() ? zoneNames[static_cast<size_t>(zone - 1)] : "";
    PostToHost(WM_STORAGE_WATCH, 0);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void TimeZonePage::OnBack()
{
    PostToHost(WM_START_LOGIN_PROBE);
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}
