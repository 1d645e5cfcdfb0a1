#include "pages/CHddFormatDlg.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/CTransparentPage.h"
#include "overlays/CWaitingPage.h"
#include "platform/WaitTimeline.h"
#include "session/WizardContext.h"
#include "ui/CBaseStatic2.h"
#include "ui/CGroupImageBox.h"
#include "ui/CLoadingStatic.h"
#include "ui/Messages.h"

#include <QPointer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr Argb kTextColour = 0xFF636566u;
constexpr int kTextLeft = 72;
constexpr int kTextWidth = 716;

CBaseStatic2* MakeText(QWidget* page, const char* name, int y, const QString& text)
{
    auto* flow = new CBaseStatic2(page);
    flow->setObjectName(QString::fromLatin1(name));
    flow->setGeometry(kTextLeft, y, kTextWidth, 10);
    flow->SetFont(14, kTextColour);
    flow->setCharWrap(WizardPage::ChineseText());
    flow->SetText(text);
    flow->resize(kTextWidth, flow->MeasureHeight() + 6);
    return flow;
}

// "Important: Formatting will ..." with its lead word emphasised where the text starts with it.
QString ImportantText()
{
    const QString lead = FromUtf8(Text("hddformat_11", "Important:"));
    QString text = FromUtf8(Text("hddformat_13",
        "Important: Formatting will permanently erase all data on the mounted hard drive(s). Please do not unplug "
        "the drive(s) without performing the correct eject procedure."));
    if (!lead.isEmpty() && text.startsWith(lead))
        text = QStringLiteral("<br>") + lead + QStringLiteral("</br>") + text.mid(lead.size());
    return text;
}

} // namespace

CHddFormatDlg::CHddFormatDlg(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 9, 3005)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
{
    SetTitle(FromUtf8(Text("hddformat_01", "Setup HDD for NVR")));
    ShowNavButtons(true, true);
    ShowSkipButton(true);

    body = MakeText(this, "body", 118,
        FromUtf8(Text("hddformat_02",
            "Please connect up to two hard drives to the USB ports(HD1 is the primary port).A green check will appear "
            "when a hard drive is successfully mounted on a USB port.")));

    ports = new CGroupImageBox(this);
    ports->setObjectName(QStringLiteral("ports"));
    ports->setGeometry(140, 180, 600, 150);
    ports->setIndex(-1);

    // Until the watch has reported, the ports are unknown: a spinner says so, not a picture of empty ports.
    checking = new CLoadingStatic(this);
    checking->setObjectName(QStringLiteral("checking"));
    checking->setGeometry(140, 180, 600, 150);
    checking->SetStyle(0xFF2AA9D1u);
    checking->SetText(FromUtf8(Text("hddformat_08", "Checking your HDD")));
    checking->Layout();
    checking->Start(1000000);

    nextHint = MakeText(this, "nextHint", 352,
        FromUtf8(Text("hddformat_10", "Then, click <br>\"Next\"</br> to format all mounted hard drives.")));
    important = MakeText(this, "important", std::max(412, nextHint->geometry().bottom() + 14), ImportantText());
}

CHddFormatDlg::~CHddFormatDlg()
{
    Leave();
}

void CHddFormatDlg::Leave()
{
    left = true;
    stopWorker();
    checkingWaiting.store(0);
    formatWaiting.store(0);
}

void CHddFormatDlg::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (message == WM_STORAGE_CHANGED) {
        const StorageWatch& watch = context.Storage();
        const auto* readyFlags = wParam != 0 ? reinterpret_cast<const std::atomic<int32_t>*>(wParam) : watch.ready;
        const auto* pluggedFlags = lParam != 0 ? reinterpret_cast<const std::atomic<int32_t>*>(lParam) : watch.plugged;
        storageChanged(readyFlags, pluggedFlags);
        return;
    }
    WizardPage::onMessage(message, wParam, lParam);
}

void CHddFormatDlg::storageChanged(const std::atomic<int32_t>* readyFlags, const std::atomic<int32_t>* pluggedFlags)
{
    // A report posted before formatting began would say the disks are busy or gone: it is not news.
    if (left || formatRunning)
        return;
    for (size_t i = 0; i < 2; ++i) {
        plugged[i] = pluggedFlags[i].load() == 1;
        ready[i] = readyFlags[i].load() == 1;
    }
    reported = true;
    checkingWaiting.store(0);
    showPorts();
}

void CHddFormatDlg::showPorts()
{
    checking->Stop();
    checking->hide();
    ports->setIndex((plugged[0] ? 1 : 0) + (plugged[1] ? 2 : 0));
}

std::string CHddFormatDlg::DiskList() const
{
    std::string lines;
    for (int port = 0; port < 2; ++port) {
        if (!plugged[static_cast<size_t>(port)])
            continue;
        const StorageWatch::DiskDescription disk = context.Storage().Describe(port);
        std::string line = "HD" + std::to_string(port + 1);
        if (!disk.name.empty()) {
            line += ": ";
            if (disk.capacityBytes > 0) {
                const long long gigabytes = std::max(1LL, std::llround(static_cast<double>(disk.capacityBytes) / 1e9));
                line += Text("hddformat_disk_size", "{0} ({1} GB)", disk.name, std::to_string(gigabytes));
            } else {
                line += disk.name;
            }
        }
        lines += (lines.empty() ? "" : "\n") + line;
    }
    return lines;
}

void CHddFormatDlg::runCheckingBox()
{
    checkingWaiting.store(1);
    CWaitingPage box(this, &checkingWaiting, kCheckTicks, CWaitingPage::HddCheck);
    box.DoModal();
    checkingWaiting.store(0);
}

void CHddFormatDlg::OnNext()
{
    if (left || formatRunning)
        return;
    QPointer<CHddFormatDlg> alive(this);
    if (!reported) {
        runCheckingBox(); // until the watch's first report (or 30 s)
        if (!alive || left)
            return;
    }
    const bool wasChecked = ready != plugged;
    if (wasChecked) {
        runCheckingBox(); // a disk is still getting ready: wait for the next report
        if (!alive || left)
            return;
    }
    if (!ready[0] && !ready[1]) {
        OpenOverlay(CTransparentPage::KindAlarm); // no disk, or none got ready
        return;
    }
    if (!formatDisks() || !alive || left)
        return;
    left = true; // done: nothing more of the page runs
    if (wasChecked)
        PostToHost(WM_STORAGE_WATCH, 1);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

// The confirmation, then formatting every plugged disk. True only when each of them reached 100 %.
bool CHddFormatDlg::formatDisks()
{
    QPointer<CHddFormatDlg> alive(this);
    OverlayValues confirmation;
    confirmation.mode = 1;
    confirmation.cancelButton = true;
    confirmation.text = DiskList();
    if (OpenOverlay(CTransparentPage::KindAlarm, confirmation) != ModalLayer::IDOK || !alive || left)
        return false;
    if (!plugged[0] && !plugged[1]) {
        OpenOverlay(CTransparentPage::KindAlarm); // no disk
        return false;
    }

    // From here on no storage report counts, and the watch is stopped before anything is formatted: it neither
    // reports the disks the recorder is busy with nor uses the request object beside the worker.
    formatRunning = true;
    context.Storage().Stop();
    PostToHost(WM_STORAGE_WATCH, 1);

    const std::array<bool, 2> targets = plugged;
    std::array<int32_t, 2> fileSystems {};
    for (size_t i = 0; i < 2; ++i)
        fileSystems[i] = context.Storage().fsCode[i].load() == 1 ? 1 : 2;
    currentDisk.store(0);
    progress.store(0);
    formatted[0].store(0);
    formatted[1].store(0);
    stopWorker();
    {
        std::lock_guard<std::mutex> guard(runLock);
        run = true;
    }
    formatWaiting.store(1);
    worker = std::thread([this, targets, fileSystems] { formatWorker(targets, fileSystems); });

    {
        CWaitingPage box(this, &formatWaiting, formatTickLimit, CWaitingPage::HddFormat);
        box.SetFormatProgress(&currentDisk, &progress, !targets[0]);
        box.DoModal();
    }
    if (!alive)
        return false;
    // The box ends when the worker has ended, or at its limit: a worker still running is stopped, and whatever it
    // had not finished by then counts as not formatted.
    stopWorker();
    if (left)
        return false;
    bool allFormatted = true;
    for (size_t i = 0; i < 2; ++i)
        allFormatted = allFormatted && (!targets[i] || formatted[i].load() == 1);
    if (allFormatted)
        return true;

    OverlayValues failure;
    failure.text = Text("hddformat_15", "Failed to format HDD!");
    OpenOverlay(CTransparentPage::KindError, failure);
    if (!alive || left)
        return false;
    formatRunning = false;
    PostToHost(WM_STORAGE_WATCH, 0); // watch again; its first report brings the page up to date
    return false;
}

bool CHddFormatDlg::workerRunning()
{
    std::lock_guard<std::mutex> guard(runLock);
    return run;
}

bool CHddFormatDlg::pause(int ms)
{
    WaitTimeline::Note("format pause", static_cast<uint32_t>(ms));
    std::unique_lock<std::mutex> guard(runLock);
    return !runChanged.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !run; });
}

void CHddFormatDlg::stopWorker()
{
    {
        std::lock_guard<std::mutex> guard(runLock);
        run = false;
    }
    runChanged.notify_all();
    if (worker.joinable()) {
        context.Client().Stop(); // a command in flight ends at once
        worker.join();
    }
}

// On the worker's thread: formats the target ports one after the other through the request object. A port counts
// as formatted only when a poll after its own format command said 100; anything else leaves it unformatted and
// ends the work. Touches no widget.
void CHddFormatDlg::formatWorker(std::array<bool, 2> targets, std::array<int32_t, 2> fileSystems)
{
    NvrClient& client = context.Client();
    // The state once it is no longer Busy (Busy when the wait ended first).
    auto settle = [this, &client](int stepMs, int steps) {
        int32_t state = client.State();
        for (int i = 0; i < steps && state == NvrClient::Busy && pause(stepMs); ++i)
            state = client.State();
        return client.State();
    };

    client.Stop();
    for (int port = 0; port < 2 && workerRunning(); ++port) {
        currentDisk.store(port);
        progress.store(0);
        if (!targets[static_cast<size_t>(port)])
            continue;
        if (!pause(500))
            break;
        client.Stop();
        if (!pause(500))
            break;
        if (!client.FormatDisk(recorder.ip, recorder.webPort, recorder.user, recorder.password, port, 0,
                fileSystems[static_cast<size_t>(port)]))
            break; // it could not even start: the port stays unformatted
        if (settle(10, 3000) != NvrClient::Done)
            break;
        client.Stop();

        bool reached = false;
        for (int cycle = 0; cycle < 3000 && !reached && pause(10); ++cycle) {
            if (!client.PollFormat(recorder.ip, recorder.webPort, recorder.user, recorder.password))
                continue;
            const int32_t state = settle(50, 6000);
            const int32_t value = client.FormatProgress();
            client.Stop();
            if (state != NvrClient::Done)
                break; // stopped, or the poll failed
            if (value > 0) {
                progress.store(std::min(value, 100));
                reached = value >= 100;
            } else if (value < 0) {
                break; // the recorder says the formatting failed: no later poll can reach 100
            } else if (!pause(kRepollMs)) {
                break; // a poll without progress is asked again after a pause, never read again
            }
        }
        if (!reached)
            break;
        formatted[static_cast<size_t>(port)].store(1);
    }
    client.Stop();
    formatWaiting.store(0); // last act: the box ends at its next tick
}

void CHddFormatDlg::OnBack()
{
    PostToHost(WM_STORAGE_WATCH, 1);
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void CHddFormatDlg::OnSkip()
{
    PostToHost(WM_STORAGE_WATCH, 1);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}
