#include "pages/DiskPage.h"

#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "session/WizardContext.h"
#include "ui/MarkupText.h"
#include "ui/PictureSwitch.h"
#include "ui/BusyIndicator.h"
#include "ui/Messages.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

constexpr Argb kTextColour = 0xFF636566u;
constexpr int kTextLeft = 72;
constexpr int kTextWidth = 716;

MarkupText* MakeText(QWidget* page, const char* name, int y, const QString& text)
{
    auto* flow = new MarkupText(page);
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

DiskPage::DiskPage(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 9, 3005)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
    , format(std::make_unique<DiskStep>(wizardContext.Client()))
{
    SetTitle(FromUtf8(Text("hddformat_01", "Setup HDD for NVR")));
    ShowNavButtons(true, true);
    ShowSkipButton(true);

    body = MakeText(this, "body", 118,
        FromUtf8(Text("hddformat_02",
            "Please connect up to two hard drives to the USB ports(HD1 is the primary port).A green check will appear "
            "when a hard drive is successfully mounted on a USB port.")));

    ports = new PictureSwitch(this);
    ports->setObjectName(QStringLiteral("ports"));
    ports->setGeometry(140, 180, 600, 150);
    ports->setIndex(-1);

    // Until the watch has reported, the ports are unknown: a spinner says so, not a picture of empty ports.
    checking = new BusyIndicator(this);
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

DiskPage::~DiskPage()
{
    Leave();
}

void DiskPage::Leave()
{
    left = true;
    stopWorker(); // the formatting box ends with the step
    checkingWaiting.store(0);
}

void DiskPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
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

void DiskPage::storageChanged(const std::atomic<int32_t>* readyFlags, const std::atomic<int32_t>* pluggedFlags)
{
    // A report posted before formatting began would say the disks are busy or gone: it is not news.
    if (left || formatRunning)
        return;
    for (size_t i = 0; i < 2; ++i) {
        plugged[i] = pluggedFlags[i].load() == 1;
        ready[i] = readyFlags[i].load() == 1;
        unreadable[i] = context.Storage().unreadable[i].load() == 1;
    }
    reported = true;
    checkingWaiting.store(0);
    showPorts();
}

void DiskPage::showPorts()
{
    checking->Stop();
    checking->hide();
    ports->setIndex((plugged[0] ? 1 : 0) + (plugged[1] ? 2 : 0));
}

std::string DiskPage::DiskDescription(int port) const
{
    const StorageWatch::DiskDescription disk = context.Storage().Describe(port);
    if (disk.name.empty() || disk.capacityBytes <= 0)
        return disk.name;
    const long long gigabytes = std::max(1LL, std::llround(static_cast<double>(disk.capacityBytes) / 1e9));
    return Text("hddformat_disk_size", "{0} ({1} GB)", disk.name, std::to_string(gigabytes));
}

std::string DiskPage::DiskList() const
{
    std::string lines;
    for (int port = 0; port < 2; ++port) {
        if (!plugged[static_cast<size_t>(port)])
            continue;
        const std::string description = DiskDescription(port);
        const std::string line = "HD" + std::to_string(port + 1) + (description.empty() ? "" : ": " + description);
        lines += (lines.empty() ? "" : "\n") + line;
    }
    return lines;
}

void DiskPage::runCheckingBox()
{
    checkingWaiting.store(1);
    WaitingBox box(this, &checkingWaiting, kCheckTicks, WaitingBox::HddCheck);
    box.DoModal();
    checkingWaiting.store(0);
}

void DiskPage::OnNext()
{
    if (left || formatRunning)
        return;
    QPointer<DiskPage> alive(this);
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
        if (unreadable[0] || unreadable[1]) {
            // Not "No HD Found": a port's answer could not be read. RETRY starts the watch again and decides on its
            // first report.
            Dimmer dimmer(this, Dimmer::KindError);
            dimmer.values.text = Text("hddformat_unreadable", "The NVR's disk information could not be read.");
            dimmer.values.retryResult = kRetryResult;
            dimmer.DoModal();
            if (alive && !left && dimmer.overlayResult() == kRetryResult) {
                reported = false; // the watch's first report decides
                PostToHost(WM_STORAGE_WATCH, 0);
                QTimer::singleShot(0, this, [this] { OnNext(); });
            }
            return;
        }
        OpenOverlay(Dimmer::KindAlarm); // no disk, or none got ready
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
bool DiskPage::formatDisks()
{
    QPointer<DiskPage> alive(this);
    OverlayValues confirmation;
    confirmation.mode = 1;
    confirmation.cancelButton = true;
    confirmation.text = DiskList();
    if (OpenOverlay(Dimmer::KindAlarm, confirmation) != ModalLayer::IDOK || !alive || left)
        return false;
    if (!plugged[0] && !plugged[1]) {
        OpenOverlay(Dimmer::KindAlarm); // no disk
        return false;
    }

    // From here on no storage report counts, and the watch is stopped before anything is formatted: it neither
    // reports the disks the recorder is busy with nor uses the request object beside the worker.
    formatRunning = true;
    context.Storage().Stop();
    PostToHost(WM_STORAGE_WATCH, 1);

    const std::array<bool, 2> targets = plugged;
    const std::array<std::string, 2> descriptions = { DiskDescription(0), DiskDescription(1) };
    std::array<int32_t, 2> fileSystems {};
    for (size_t i = 0; i < 2; ++i)
        fileSystems[i] = DiskStep::FileSystemFor(context.Storage().fsCode[i].load());
    stopWorker();
    format->StartFormat(recorder, targets, fileSystems);

    {
        WaitingBox box(this, &format->Busy(), formatTickLimit, WaitingBox::HddFormat);
        box.SetFormatProgress(&format->CurrentDisk(), &format->Progress(), !targets[0]);
        box.DoModal();
    }
    if (!alive)
        return false;
    // The box ends when the worker has ended, or at its limit: a worker still running is stopped, and whatever it
    // had not finished by then counts as not formatted.
    stopWorker();
    if (left)
        return false;
    const DiskResult done = format->Result();
    bool allFormatted = true;
    for (size_t i = 0; i < 2; ++i)
        allFormatted = allFormatted && (!targets[i] || done.formatted[i]);
    for (size_t i = 0; i < 2; ++i) {
        if (targets[i])
            context.Session().NoteDisk(static_cast<int32_t>(i) + 1, descriptions[i],
                done.formatted[i] ? WizardSession::DiskResult::Formatted : WizardSession::DiskResult::Failed);
    }
    if (allFormatted)
        return true;

    OverlayValues failure;
    failure.text = Text("hddformat_15", "Failed to format HDD!");
    OpenOverlay(Dimmer::KindError, failure);
    if (!alive || left)
        return false;
    formatRunning = false;
    PostToHost(WM_STORAGE_WATCH, 0); // watch again; its first report brings the page up to date
    return false;
}

void DiskPage::stopWorker()
{
    format->Stop(); // a command in flight ends at once
}

void DiskPage::OnBack()
{
    PostToHost(WM_STORAGE_WATCH, 1);
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void DiskPage::OnSkip()
{
    for (int port = 0; port < 2; ++port) {
        if (plugged[static_cast<size_t>(port)])
            context.Session().NoteDisk(port + 1, DiskDescription(port), WizardSession::DiskResult::Kept, true);
    }
    PostToHost(WM_STORAGE_WATCH, 1);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}
