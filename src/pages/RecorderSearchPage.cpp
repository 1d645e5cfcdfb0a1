#include "pages/RecorderSearchPage.h"

#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "pages/MacLabelHelp.h"
#include "pages/RecorderList.h"
#include "pages/RecorderReach.h"
#include "platform/WaitTimeline.h"
#include "session/WizardContext.h"
#include "ui/MarkupText.h"
#include "ui/IconCaptionButton.h"
#include "ui/HelpLink.h"
#include "ui/SlimScrollBar.h"
#include "ui/BusyIndicator.h"
#include "ui/LayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/WrappedText.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QFontMetrics>
#include <QTimerEvent>
#include <climits>

namespace {

constexpr int kListLeft = 80;
constexpr int kListWidth = 688;
constexpr int kListHeight = 220;
constexpr int kRowNoteHeight = 28; // two lines, between the list and the help link
// The spinner turns until the search and its tail have ended, however long the machine takes.
constexpr int kSpinnerTicks = INT_MAX;

QString Qt8(const std::string& text)
{
    return FromUtf8(text);
}

} // namespace

RecorderSearchPage::RecorderSearchPage(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 6, 3001)
    , context(wizardContext)
{
    SetTitle(Qt8(Text("nvrsearch_01", "Select your NVR device")));
    ShowNavButtons(true, true);

    instructions = new MarkupText(this);
    instructions->setObjectName(QStringLiteral("instructions"));
    instructions->setGeometry(QRect(QPoint(77, 122), QPoint(780, 179)));
    instructions->SetFont(14, 0xFF636566u);
    instructions->setCharWrap(ChineseText());
    instructions->SetText(Qt8(Text("nvrsearch_02",
        "Select your NVR from the list, then click <br>\"Next\"</br>. If you have multiple NVRs, you can identify "
        "them by the MAC ID printed on the label on the bottom of the device.")));
    const int h = instructions->MeasureHeight();
    instructions->resize(instructions->width(), h + 4);

    rescan = new IconCaptionButton(this);
    rescan->setObjectName(QStringLiteral("rescan"));
    rescan->SetImage(0, 4018);
    rescan->SetImage(1, 4015);
    rescan->SetImage(2, 4017);
    rescan->SetImage(3, 4016);
    rescan->SetIcon(3055);
    rescan->setText(Qt8(Text("Rescan", "Rescan")));
    const int rescanWidth = rescan->CaptionWidth() + 41;
    rescan->setGeometry(782 - rescanWidth, h + 133, rescanWidth, 30);
    connect(rescan, &QAbstractButton::clicked, this, [this] { Rescan(); });

    const int listTop = h + 168;
    const int listMiddle = listTop + kListHeight / 2;
    recorderList = new RecorderList(this);
    recorderList->setGeometry(kListLeft, listTop, kListWidth, kListHeight);
    recorderList->SetTitles(Qt8(Text("IP Address", "IP Address")), Qt8(Text("Mac Address", "Mac Address")));
    scrollBar = new SlimScrollBar(this);
    scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar->setGeometry(kListLeft + kListWidth, listTop, 14, kListHeight);
    scrollBar->SetImage(3053);
    recorderList->SetScrollBar(scrollBar);

    searching = new BusyIndicator(this);
    searching->setObjectName(QStringLiteral("searching"));
    searching->setGeometry(130, listMiddle - 60, 600, 120);
    searching->SetStyle(0xFF2AA9D1u);
    searching->SetText(Qt8(Text("Searching device", "Searching device")));
    searching->Layout();
    searching->hide();

    noDeviceLabel = new TextLabel(this);
    noDeviceLabel->setObjectName(QStringLiteral("noDevice"));
    noDeviceLabel->SetFont(14, MakeRgb(42, 169, 209), false);
    noDeviceLabel->setCentre(true);
    noDeviceLabel->SetText(Qt8(Text("No device found!", "No device found!")));
    const int labelWidth = QFontMetrics(noDeviceLabel->DrawingFont()).horizontalAdvance(noDeviceLabel->text()) + 1;
    noDeviceLabel->setGeometry(429 - labelWidth / 2, listMiddle - 15, labelWidth, 30);
    noDeviceLabel->hide();

    // Under the list: what a marked or a repeated row means, shown while such a row is listed.
    rowNote = new WrappedText(this);
    rowNote->setObjectName(QStringLiteral("rowNote"));
    rowNote->setGeometry(kListLeft, listTop + kListHeight + 1, kListWidth, kRowNoteHeight);
    rowNote->SetFont(12, 0xFF6E6E6Eu);
    rowNote->setLineHeight(14);
    rowNote->setCharWrap(ChineseText());
    rowNote->hide();
    // A search keeps a bounded number of answers; when more came, the list says that it is not complete. It takes
    // the row notes' place: a flood of answers is what the user must hear of first.
    capNote = new TextLabel(this);
    capNote->setObjectName(QStringLiteral("capNote"));
    capNote->SetFont(12, MakeRgb(198, 47, 53), false);
    capNote->setGeometry(kListLeft, listTop + kListHeight + 4, kListWidth, 20);
    capNote->hide();

    notFoundLink = new HelpLink(this);
    notFoundLink->setObjectName(QStringLiteral("notFoundLink"));
    notFoundLink->setGeometry(76, h + 418, 700, 26);
    notFoundLink->SetFont(14, MakeRgb(42, 169, 209));
    notFoundLink->SetIcon(4012);
    notFoundLink->setOverlayKind(13);
    notFoundLink->SetText(Qt8(Text("nvrsearch_06", "Can not find your NVR")));

    nextButton()->setEnabled(false); // until a row is selected
    autoTimer.start(kAutoSearchDelayMs, this);
    WaitTimeline::Note("automatic search delay", kAutoSearchDelayMs);
}

RecorderSearchPage::~RecorderSearchPage() = default;

void RecorderSearchPage::Leave()
{
    // The search itself belongs to the host's discovery table and ends on its own; the page only stops
    // watching it.
    running = false;
    autoTimer.stop();
    checkTimer.stop();
    tailTimer.stop();
    searching->Stop();
}

void RecorderSearchPage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == autoTimer.timerId()) {
        autoTimer.stop();
        autoStarted = true;
        Rescan();
    } else if (event->timerId() == checkTimer.timerId()) {
        checkSearch();
    } else if (event->timerId() == tailTimer.timerId()) {
        tailTimer.stop();
        endSearch();
    } else {
        WizardPage::timerEvent(event);
    }
}

void RecorderSearchPage::setButtonsBusy(bool busy)
{
    for (PictureButton* button : { static_cast<PictureButton*>(closeButton()), static_cast<PictureButton*>(backButton()),
             static_cast<PictureButton*>(rescan) }) {
        button->setEnabled(!busy);
        button->setLatched(busy);
    }
    if (busy) {
        nextButton()->setEnabled(false);
        nextButton()->setLatched(true);
    }
}

void RecorderSearchPage::Rescan()
{
    // Any search is the first one: the automatic search does not start over a search the user started (nor
    // clear what it listed).
    autoTimer.stop();
    if (running)
        return;
    autoStarted = false;
    recorderList->DeleteAllRows();
    rowNote->hide();
    rows.clear();
    setButtonsBusy(true);
    noDeviceLabel->hide();
    noDeviceShown = false;
    capNote->hide();
    searching->show();
    searching->raise();
    searching->Start(kSpinnerTicks);
    running = true;
    checks = 0;
    interfaces = LocalIpv4Interfaces();
    // The search runs on the discovery table's own threads; the page looks at it every 100 ms.
    context.DiscoveryEngine().Start();
    checkTimer.start(kCheckMs, this);
    WaitTimeline::Note("search check period", kCheckMs);
}

void RecorderSearchPage::checkSearch()
{
    ++checks;
    const int32_t state = context.DiscoveryEngine().state.load();
    if (state == SearchDevice::Searching && checks < kCheckLimit) {
        WaitTimeline::Note("search check period", kCheckMs);
        return;
    }
    checkTimer.stop();
    listRecords(state);
    tailTimer.start(kTailMs, this);
    WaitTimeline::Note("search tail", kTailMs);
}

void RecorderSearchPage::listRecords(int32_t state)
{
    if (state != SearchDevice::SearchDone) {
        // The broadcast could not be sent, or the search did not end in time: nothing to list, which the user
        // is told as when nothing answered.
        showNoDevice();
        return;
    }
    const SearchDevice& engine = context.DiscoveryEngine();
    if (engine.LastFigures().overCap > 0) {
        capNote->SetText(Qt8(Text("nvrsearch_cap",
            "More devices answered than one search can list: only the first {0} answers are shown.",
            std::to_string(SearchDevice::kMaxAnswersPerSearch))));
        capNote->show();
        capNote->raise();
    }
    const int32_t count = engine.recordCount.load();
    for (int32_t i = 0; i < count && running; ++i) {
        const std::optional<DeviceRecord> record = engine.Record(i);
        if (!record || record->ModelText() != kModel || record->IpText() == "0.0.0.0")
            continue;
        Row row { record->IpText(), record->MacText(), record->interfaceIndex };
        const int index
            = recorderList->AppendRow(QString::number(static_cast<int>(rows.size()) + 1), Qt8(row.ip), Qt8(row.mac));
        const bool outside = InLocalSubnet(interfaces, row.ip) == std::optional<bool>(false);
        recorderList->SetMarked(index, outside);
        recorderList->SetRowToolTip(index, rowToolTip(row, outside));
        rows.push_back(row);
    }
    ExplainRows();
    if (rows.empty()) {
        showNoDevice();
        return;
    }
    recorderList->SetChecked(0); // NEXT follows once the search has ended (it does nothing before)
    noDeviceShown = false;
}

QString RecorderSearchPage::capNoteText() const
{
    return capNote->isVisibleTo(this) ? capNote->text() : QString();
}

void RecorderSearchPage::showNoDevice()
{
    noDeviceShown = true;
    noDeviceLabel->show();
    noDeviceLabel->raise();
}

void RecorderSearchPage::endSearch()
{
    running = false;
    for (PictureButton* button : { static_cast<PictureButton*>(closeButton()), static_cast<PictureButton*>(backButton()),
             static_cast<PictureButton*>(rescan) }) {
        button->setEnabled(true);
        button->setLatched(false);
    }
    if (recorderList->CheckedRow() >= 0) {
        nextButton()->setEnabled(true);
        nextButton()->setLatched(false);
    }
    searching->Stop();
    searching->hide();
    recorderList->viewport()->update();
}

void RecorderSearchPage::ExplainRows()
{
    bool marked = false;
    bool repeated = false;
    for (int row = 0; row < recorderList->rowCount(); ++row) {
        marked = marked || recorderList->IsMarked(row);
        repeated = repeated || repeatedRow(row);
    }
    QStringList notes;
    if (marked)
        notes << Qt8(Text("nvrsearch_note_outside",
            "! The address is outside every network of this PC: change the recorder's address to reach it."));
    if (repeated)
        notes << Qt8(Text("nvrsearch_note_repeated",
            "A recorder listed twice answered on two network interfaces of this PC: either row will do."));
    rowNote->SetText(notes.join(QLatin1Char(' ')));
    rowNote->setVisible(!notes.isEmpty() && !capNote->isVisibleTo(this));
}

bool RecorderSearchPage::repeatedRow(int row) const
{
    const QString ip = recorderList->CellText(row, RecorderList::kIpColumn);
    const QString mac = recorderList->CellText(row, RecorderList::kMacColumn);
    for (int other = 0; other < recorderList->rowCount(); ++other) {
        if (other != row && recorderList->CellText(other, RecorderList::kIpColumn) == ip
            && recorderList->CellText(other, RecorderList::kMacColumn) == mac)
            return true;
    }
    return false;
}

QString RecorderSearchPage::rowToolTip(const Row& row, bool outside) const
{
    // The same recorder is listed once per interface that reached it: say which one this row came through.
    const std::string local = context.DiscoveryEngine().LocalAddress(row.interfaceIndex);
    std::string where = local;
    if (const LocalInterface* named = InterfaceWithAddress(interfaces, local))
        where = named->name + " (" + local + ")";
    QString tip = Qt8(Text("nvrsearch_09", "Answered on interface {0}", where));
    if (outside) {
        tip += QLatin1Char('\n')
            + Qt8(Text("nvrsearch_10",
                "This address is outside every network of this PC: the recorder cannot be reached until its "
                "address is changed."));
    }
    return tip;
}

std::string RecorderSearchPage::SearchedInterfaces() const
{
    const SearchDevice& engine = context.DiscoveryEngine();
    std::string lines;
    for (int32_t i = 0; i < engine.EndpointCount(); ++i) {
        const std::string local = engine.LocalAddress(i);
        if (local.empty())
            continue;
        const LocalInterface* named = InterfaceWithAddress(interfaces, local);
        lines += (lines.empty() ? "" : "\n") + (named != nullptr ? named->name + "  " + local : local);
    }
    if (lines.empty())
        lines = Text("nvrsearch_12", "No network interface of this PC has an IPv4 address.");
    return lines;
}

int RecorderSearchPage::sharedAddressRow(int row) const
{
    const QString ip = recorderList->CellText(row, RecorderList::kIpColumn);
    const QString mac = recorderList->CellText(row, RecorderList::kMacColumn);
    for (int other = 0; other < recorderList->rowCount(); ++other) {
        if (other != row && recorderList->CellText(other, RecorderList::kIpColumn) == ip
            && recorderList->CellText(other, RecorderList::kMacColumn) != mac)
            return other;
    }
    return -1;
}

void RecorderSearchPage::OnNext()
{
    if (running)
        return;
    const int row = recorderList->CheckedRow();
    if (row < 0)
        return;
    const QString ip = recorderList->CellText(row, RecorderList::kIpColumn);
    const QString mac = recorderList->CellText(row, RecorderList::kMacColumn);
    if (sharedAddressRow(row) >= 0) {
        // Every later page reaches the recorder by its address: with two recorders on it, it would set up
        // whichever answers.
        OverlayValues values;
        values.text = Text("nvrsearch_08", "Two recorders share the address {0}. Change the address of one of them.",
            ip.toStdString());
        OpenOverlay(Dimmer::KindError, values);
        return;
    }
    selectedIp = ip.toStdString();
    selectedMac = mac.toStdString();
    WizardSession& session = context.Session();
    session.SetNvrIp(selectedIp);
    session.SetNvrMac(selectedMac);
    session.SetNvrUser("admin");
    const int32_t record = context.DiscoveryEngine().FindByMac(selectedMac);
    session.nvrModel = context.DiscoveryEngine().ModelText(record);
    session.nvrWebPort = context.DiscoveryEngine().WebPort(record);
    PostToHost(WM_START_LOGIN_PROBE);
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void RecorderSearchPage::OnBack()
{
    Leave();
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void RecorderSearchPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_ROW_SELECTED:
        if (running)
            return; // the search's end makes NEXT usable
        nextButton()->setEnabled(true);
        nextButton()->setLatched(false);
        return;
    case WM_OPEN_OVERLAY: {
        OverlayValues values;
        if (wParam == Dimmer::KindNoDevice) {
            values.text = SearchedInterfaces();
        } else {
            const int row = recorderList->CheckedRow();
            values.text = MacLabelHelp::LabelMac(
                row >= 0 ? recorderList->CellText(row, RecorderList::kMacColumn).toStdString() : std::string(), row >= 0);
        }
        OpenOverlay(static_cast<int>(wParam), values);
        return;
    }
    default:
        WizardPage::onMessage(message, wParam, lParam);
    }
}
