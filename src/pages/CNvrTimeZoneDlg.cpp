#include "pages/CNvrTimeZoneDlg.h"

#include "device/TimeZoneList.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "net/HttpGet.h"
#include "overlays/AlertBox.h"
#include "overlays/CTransparentPage.h"
#include "overlays/CWaitingPage.h"
#include "pages/ZoneListBox.h"
#include "platform/WaitTimeline.h"
#include "session/WizardContext.h"
#include "ui/AccessibleControls.h"
#include "ui/CErrorStatic.h"
#include "ui/COrselButton2.h"
#include "ui/COrselStatic.h"
#include "ui/CRoundBack.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kZoneFontSize = 16;
constexpr Argb kZoneText = 0xFF636566u;
constexpr int kArrowArea = 30;
const char* const kRefused = "400 Bad Request";

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

// A whole answer to a GET and its status.
struct Answer
{
    bool arrived = false;
    int status = 0;
    std::string body;

    bool Success() const { return arrived && status >= 200 && status <= 299; }
};

// GETs path on an opened connection and reads the whole answer (at most 63999 bytes). A recorder still without a
// password answers the first request with a Digest challenge; the same connection then asks once more.
Answer Fetch(HttpGet& http, const std::string& path)
{
    Answer answer;
    std::vector<char> buffer(TimeZoneList::kMaxAnswerBytes, 0);
    size_t size = buffer.size();
    const bool fetched = http.GetAuthorised(path, buffer.data(), &size);
    if (!fetched || !http.QueryStatusCode(answer.status))
        return answer;
    answer.arrived = true;
    answer.body.assign(buffer.data(), strnlen(buffer.data(), size));
    return answer;
}

} // namespace

CNvrTimeZoneDlg::CNvrTimeZoneDlg(QWidget* host, WizardContext& wizardContext, bool load)
    : WizardPage(host, 8, 3001)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
{
    SetTitle(FromUtf8(Text("SetupTimeZone_title", "Set time zone")));
    ShowNavButtons(true, true);

    label = new COrselStatic(this);
    label->setObjectName(QStringLiteral("zoneLabel"));
    label->SetFont(15, MakeRgb(0x63, 0x65, 0x66), false);
    label->setGeometry(QRect(QPoint(60, 184), QPoint(200, 216)));
    label->SetText(FromUtf8(Text("SetupTimeZone_01", "Time zone:")));

    box = new CRoundBack(this);
    box->setObjectName(QStringLiteral("zoneBox"));
    box->setGeometry(220, 180, 580, 32);
    box->setFill(0xFFFFFFFFu);
    box->setBorder(0xFFC0C0C0u, 1);
    box->setRadius(4);
    box->setCursor(Qt::PointingHandCursor);
    box->SetText(QStringLiteral("Verdana"), QString(), kZoneFontSize, kZoneText);
    auto* arrow = new DropArrow(box);
    arrow->setGeometry(box->width() - kArrowArea, 0, kArrowArea, box->height());
    connect(box, &CRoundBack::pressed, this, [this] { OpenZoneList(); });
    box->setPressable(true);
    SetAccessibleLabel(box, label);

    error = new CErrorStatic(this);
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

CNvrTimeZoneDlg::~CNvrTimeZoneDlg()
{
    Leave();
}

void CNvrTimeZoneDlg::Leave()
{
    left = true;
    stopWorker();
    waiting.store(0); // a waiting box still up ends at its next tick
}

void CNvrTimeZoneDlg::ShowZones(const std::vector<std::string>& names, int currentZone)
{
    zoneNames = names;
    QStringList rows;
    for (const std::string& name : zoneNames)
        rows << FromUtf8(name);
    zone = currentZone >= 1 && currentZone <= zoneCount() ? currentZone : -1;
    list->SetZones(rows, zone - 1);
    showZoneName();
}

void CNvrTimeZoneDlg::OpenZoneList()
{
    error->hide();
    list->show();
    list->raise();
    list->ScrollToSelected();
    list->setFocus(Qt::MouseFocusReason);
}

void CNvrTimeZoneDlg::chooseRow(int row)
{
    if (row < 0 || row >= zoneCount())
        return;
    zone = row + 1;
    showZoneName();
}

void CNvrTimeZoneDlg::showZoneName()
{
    QString name;
    if (zone >= 1 && zone <= zoneCount()) {
        const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kZoneFontSize, false));
        name = metrics.elidedText(
            FromUtf8(zoneNames[static_cast<size_t>(zone - 1)]), Qt::ElideRight, box->width() - 5 - kArrowArea);
    }
    box->SetText(QStringLiteral("Verdana"), name, kZoneFontSize, kZoneText);
}

void CNvrTimeZoneDlg::showErrorLine(const QString& text)
{
    list->hide();
    error->SetText(text);
    error->show();
}

void CNvrTimeZoneDlg::mousePressEvent(QMouseEvent* event)
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

void CNvrTimeZoneDlg::runWaitingBox()
{
    CWaitingPage waitingBox(this, &waiting, kWaitTicks);
    boxRunning = true;
    waitingBox.DoModal();
    boxRunning = false;
}

bool CNvrTimeZoneDlg::showNetworkError(bool offerRetry)
{
    CTransparentPage dimmer(this, CTransparentPage::KindError);
    dimmer.values.text = Text("Check Network Failed!", "Check Network Failed!");
    dimmer.values.retryResult = offerRetry ? kRetryResult : 0;
    dimmer.DoModal();
    return offerRetry && dimmer.overlayResult() == kRetryResult;
}

// Loading: the list worker reads the list and the current zone while the waiting box shows. A failure shows the
// error box over the waiting box; RETRY there reads everything again.
void CNvrTimeZoneDlg::loadZones()
{
    QPointer<CNvrTimeZoneDlg> alive(this);
    do {
        if (left || busy())
            return;
        retryLoading = false;
        const int language = RecorderLanguageNumber(); // the wizard's language as it is now
        startWorker([this, language](uint32_t tag) { listWorker(tag, language); });
        waiting.store(1);
        runWaitingBox();
    } while (alive && retryLoading);
}

void CNvrTimeZoneDlg::startWorker(std::function<void(uint32_t tag)> body)
{
    stopWorker();
    const uint32_t tag = ++workerTag;
    workerRunning.store(1);
    runFlag.store(1);
    worker = std::thread([body = std::move(body), tag] { body(tag); });
}

void CNvrTimeZoneDlg::stopWorker()
{
    runFlag.store(0);
    {
        std::lock_guard<std::mutex> guard(requestLock);
        if (request != nullptr)
            request->Close(); // a request in flight ends at once
    }
    if (worker.joinable())
        worker.join();
    workerRunning.store(0);
}

bool CNvrTimeZoneDlg::openRequest(HttpGet& http)
{
    // Under the lock: a stop either comes before (and nothing opens) or closes what was opened.
    std::lock_guard<std::mutex> guard(requestLock);
    if (runFlag.load() == 0)
        return false;
    request = &http;
    return http.Open(recorder.ip, recorder.user, recorder.password, kRequestTimeoutMs, 0, recorder.webPort,
        HttpGet::CertificateCheck::Relaxed);
}

void CNvrTimeZoneDlg::forgetRequest()
{
    std::lock_guard<std::mutex> guard(requestLock);
    request = nullptr;
}

// On the worker's thread: touches no widget; the result goes to the page as a queued call, its last act.
void CNvrTimeZoneDlg::listWorker(uint32_t tag, int language)
{
    ListResult result;
    {
        HttpGet http;
        if (openRequest(http)) {
            const Answer list = Fetch(http, "/config/timezonelist?language=" + std::to_string(language));
            if (list.Success()) {
                result.listRead = true;
                result.names = TimeZoneList::Parse(list.body.data(), list.body.size());
                const Answer now = runFlag.load() != 0 ? Fetch(http, "/config/datetime") : Answer();
                if (now.Success()) {
                    result.zoneRead = true;
                    result.zone = TimeZoneList::CurrentZone(now.body, result.names.size());
                }
            }
        }
        forgetRequest();
    }
    QMetaObject::invokeMethod(
        this, [this, tag, result] { listLoaded(tag, result); }, Qt::QueuedConnection);
}

void CNvrTimeZoneDlg::listLoaded(uint32_t tag, const ListResult& result)
{
    if (left || tag != workerTag)
        return;
    stopWorker(); // it has ended: this call was its last act
    if (result.listRead)
        ShowZones(result.names, result.zoneRead ? result.zone : -1);
    else
        ShowZones({}, -1);
    if (result.listRead && result.zoneRead) {
        nextButton()->setEnabled(true);
        waiting.store(0);
        return;
    }
    QPointer<CNvrTimeZoneDlg> alive(this);
    const bool retry = showNetworkError(!result.listRead);
    if (!alive || left)
        return;
    if (retry) {
        retryLoading = true;
        if (!boxRunning)
            QTimer::singleShot(0, this, [this] { loadZones(); });
    } else {
        nextButton()->setEnabled(false); // nothing can be set on this recorder now
    }
    waiting.store(0);
}

void CNvrTimeZoneDlg::OnNext()
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
    startWorker([this, zoneNumber](uint32_t tag) { setWorker(tag, zoneNumber); });
    waiting.store(1);
    QPointer<CNvrTimeZoneDlg> alive(this);
    runWaitingBox();
    // The box may end by its limit before the worker: then the outcome acts when it arrives.
    if (alive && !left && setSettled)
        actOnSetting();
}

void CNvrTimeZoneDlg::setWorker(uint32_t tag, int zoneNumber)
{
    SetOutcome outcome = SetOutcome::NetworkFailed;
    {
        HttpGet http;
        if (openRequest(http)) {
            const Answer answer = Fetch(http, "/config/datetime?timezone=" + std::to_string(zoneNumber));
            const bool refused
                = answer.arrived && (answer.status == 400 || answer.body.find(kRefused) != std::string::npos);
            if (refused || answer.Success()) {
                outcome = refused ? SetOutcome::Refused : SetOutcome::Done;
                // The zone was answered: recording starts whatever the answer was; its own answer does not matter.
                if (runFlag.load() != 0)
                    Fetch(http, "/config/manrecord?record=1");
            }
        }
        forgetRequest();
    }
    QMetaObject::invokeMethod(
        this, [this, tag, outcome] { zoneSet(tag, outcome); }, Qt::QueuedConnection);
}

void CNvrTimeZoneDlg::zoneSet(uint32_t tag, SetOutcome outcome)
{
    if (left || tag != workerTag)
        return;
    stopWorker();
    QPointer<CNvrTimeZoneDlg> alive(this);
    switch (outcome) {
    case SetOutcome::Done:
        setFailed = false;
        break;
    case SetOutcome::Refused:
        setFailed = true;
        showErrorLine(QString::fromLatin1(kRefused));
        break;
    case SetOutcome::NetworkFailed:
        setFailed = true;
        showNetworkError(false);
        if (!alive || left)
            return;
        break;
    }
    setSettled = true;
    waiting.store(0);
    if (!boxRunning)
        actOnSetting();
}

void CNvrTimeZoneDlg::actOnSetting()
{
    if (setFailed || left)
        return;
    left = true; // the page is done: nothing more of it runs
    context.Session().zoneName = zone >= 1 && zone <= zoneCount() ? zoneNames[static_cast<size_t>(zone - 1)] : "";
    PostToHost(WM_STORAGE_WATCH, 0);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void CNvrTimeZoneDlg::OnBack()
{
    PostToHost(WM_START_LOGIN_PROBE);
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}
