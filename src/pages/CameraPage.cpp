#include "pages/CameraPage.h"

#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "pages/CameraList.h"
#include "pages/CameraPasswordRunner.h"
#include "pages/NetworkFailure.h"
#include "platform/WaitTimeline.h"
#include "session/CameraLine.h"
#include "session/WizardContext.h"
#include "ui/MarkupText.h"
#include "ui/IconCaptionButton.h"
#include "ui/HelpLink.h"
#include "ui/SlimScrollBar.h"
#include "ui/BusyIndicator.h"
#include "ui/LayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/SmallLink.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QFontMetrics>
#include <QPointer>
#include <QTimerEvent>
#include <climits>

namespace {

constexpr int kListLeft = 80;
constexpr int kListWidth = 688;
constexpr int kListHeight = 225;
constexpr int kSpinnerTicks = INT_MAX; // the animation turns until the search has ended

QString Qt8(const std::string& text)
{
    return FromUtf8(text);
}

} // namespace

CameraPage::CameraPage(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 10, 3001)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
    , cameraStep(std::make_unique<CameraStep>(wizardContext.DiscoveryEngine(), wizardContext.Client()))
    , cloudStep(std::make_unique<CloudStep>(wizardContext.Client()))
{
    SetTitle(Qt8(Text("camsearch_01", "Add your cameras")));
    ShowNavButtons(true, true);

    description = new MarkupText(this);
    description->setObjectName(QStringLiteral("description"));
    description->setGeometry(QRect(QPoint(77, 122), QPoint(780, 212)));
    description->SetFont(14, 0xFF484848u);
    description->setLineHeight(20);
    description->setCharWrap(ChineseText());
    description->SetText(Qt8(Text("camsearch_02",
        "The setup wizard can automatically detect compatible Veskor cameras on the network. To add a camera, check "
        "the box and set up or enter the password when prompted. After the password has been entered, click the icon "
        "to see a live preview of the camera's video.")));
    const int top = description->MeasureHeight();
    description->resize(description->width(), top + 4);

    rescan = new IconCaptionButton(this);
    rescan->setObjectName(QStringLiteral("rescan"));
    for (int slot = 0; slot < 4; ++slot)
        rescan->SetImage(slot, 4015);
    rescan->SetIcon(3055);
    rescan->setText(Qt8(Text("Rescan", "Rescan")));
    const int rescanWidth = rescan->CaptionWidth() + 41;
    rescan->setGeometry(782 - rescanWidth, top + 133, rescanWidth, 30);
    connect(rescan, &QAbstractButton::clicked, this, [this] { PostWindowMessage(this, WM_RESCAN_CAMERAS); });

    const int listTop = top + 168;
    cameraList = new CameraList(this);
    cameraList->setGeometry(kListLeft, listTop, kListWidth, kListHeight);
    cameraList->SetTitles(Qt8(Text("Model Name", "Model Name")), Qt8(Text("IP Address", "IP Address")));
    cameraList->SetHeaderImage(3052);
    scrollBar = new SlimScrollBar(this);
    scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar->setGeometry(kListLeft + kListWidth, listTop, 14, kListHeight);
    scrollBar->SetImage(3053);
    cameraList->SetScrollBar(scrollBar);

    searchingAnimation = new BusyIndicator(this);
    searchingAnimation->setObjectName(QStringLiteral("searching"));
    searchingAnimation->setGeometry(QRect(QPoint(130, top + 220), QPoint(730, top + 340)));
    searchingAnimation->SetStyle(0xFF2AA9D1u);
    searchingAnimation->SetText(Qt8(Text("Searching device", "Searching device")));
    searchingAnimation->Layout();
    searchingAnimation->hide();

    noCamera = new TextLabel(this);
    noCamera->setObjectName(QStringLiteral("noCamera"));
    noCamera->SetFont(14, MakeRgb(42, 169, 209), false);
    noCamera->setCentre(true);
    noCamera->SetText(Qt8(Text("No camera found!", "No camera found!")));
    const int noticeWidth = QFontMetrics(noCamera->DrawingFont()).horizontalAdvance(noCamera->text());
    noCamera->setGeometry(429 - noticeWidth / 2, top + 280, noticeWidth + 1, 30);
    noCamera->hide();

    searchProblem = new TextLabel(this);
    searchProblem->setObjectName(QStringLiteral("searchProblem"));
    searchProblem->SetFont(14, MakeRgb(42, 169, 209), false);
    searchProblem->setCentre(true);
    searchProblem->setGeometry(80, top + 272, 688, 30);
    searchProblem->hide();
    searchAgain = new SmallLink(this);
    searchAgain->setObjectName(QStringLiteral("searchAgain"));
    searchAgain->SetStyle();
    searchAgain->SetText(Qt8(Text("camsearch_again", "Search again")));
    {
        const int width = QFontMetrics(searchAgain->DrawingFont()).horizontalAdvance(searchAgain->text()) + 4;
        searchAgain->setGeometry(429 - width / 2, top + 310, width, 22);
    }
    searchAgain->MakeLink();
    searchAgain->hide();

    // Under the list at four checked: why the other rows are grey.
    chosenNote = new TextLabel(this);
    chosenNote->setObjectName(QStringLiteral("chosenNote"));
    chosenNote->SetFont(12, MakeRgb(110, 110, 110), false);
    chosenNote->setGeometry(kListLeft, listTop + kListHeight + 2, kListWidth, 20);
    chosenNote->SetText(Qt8(Text("camsearch_full", "{0} of {1} cameras chosen: uncheck one to choose another.",
        std::to_string(CameraList::kMaxChecked), std::to_string(CameraList::kMaxChecked))));
    chosenNote->hide();
    connect(cameraList, &CameraList::CheckedCountChanged, this,
        [this](int count) { chosenNote->setVisible(count >= CameraList::kMaxChecked); });

    installLink = new HelpLink(this);
    installLink->setObjectName(QStringLiteral("installLink"));
    installLink->setGeometry(76, top + 418, 786, 26);
    installLink->SetFont(14, MakeRgb(42, 169, 209));
    installLink->SetIcon(4012);
    installLink->setOverlayKind(Dimmer::KindInstallCam);
    installLink->SetText(Qt8(Text("camsearch_03", "How to install your network camera.")));

    passwords = new CameraPasswordRunner(context, this);
    connect(passwords, &CameraPasswordRunner::PasswordAccepted, this,
        [this](const CameraPasswordJob& job) { passwordAccepted(job); });

    firstScanTimer.start(kFirstScanDelayMs, this);
    WaitTimeline::Note("first camera scan delay", kFirstScanDelayMs);
}

CameraPage::~CameraPage()
{
    Leave();
}

void CameraPage::Leave()
{
    left = true;
    firstScanTimer.stop();
    passwords->Stop();
    stopWorker();
    busy.store(0); // a waiting box still up ends at its next tick
    searchingAnimation->Stop();
}

bool CameraPage::noCameraShown() const
{
    return !noCamera->isHidden();
}

void CameraPage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == firstScanTimer.timerId()) {
        firstScanTimer.stop();
        if (!firstScanDone) {
            firstScanDone = true;
            PostWindowMessage(this, WM_RESCAN_CAMERAS);
        }
        return;
    }
    WizardPage::timerEvent(event);
}

void CameraPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (left)
        return;
    switch (message) {
    case WM_RESCAN_CAMERAS:
    case WM_LINK_CLICKED: // "Search again" under a search that failed
        Rescan();
        return;
    case WM_CAMERA_CHECK_REQUEST:
        checkRequest(static_cast<int>(wParam), lParam);
        return;
    case WM_OPEN_OVERLAY:
        if (lParam < 0)
            return;
        if (wParam == Dimmer::KindPreview)
            openPreview(static_cast<int>(lParam));
        else
            OpenOverlay(static_cast<int>(wParam));
        return;
    default:
        WizardPage::onMessage(message, wParam, lParam);
    }
}

void CameraPage::setButtonsBusy(bool isBusy)
{
    for (PictureButton* button : { static_cast<PictureButton*>(rescan), static_cast<PictureButton*>(nextButton()),
             static_cast<PictureButton*>(backButton()) }) {
        button->setEnabled(!isBusy);
        button->setLatched(isBusy);
    }
    closeButton()->setEnabled(!isBusy);
}

std::vector<CameraRowState> CameraPage::rowStates() const
{
    std::vector<CameraRowState> states;
    for (int row = 0; row < cameraList->rowCount(); ++row)
        states.push_back({ cameraList->IsChecked(row), cameraList->IsVerified(row) });
    return states;
}

void CameraPage::Rescan()
{
    firstScanTimer.stop();
    firstScanDone = true;
    if (left || searching || nextGuard)
        return;
    // Whatever was under way for the old list ends with it; its results can no longer land.
    passwords->Stop();
    stopWorker();
    noCamera->hide();
    searchProblem->hide();
    searchAgain->hide();
    RememberVerifiedRows(remembered, rowStates(), context.Session().cameras);
    cameraList->DeleteAllRows();
    searching = true;
    setButtonsBusy(true);
    searchingAnimation->show();
    searchingAnimation->raise();
    searchingAnimation->Start(kSpinnerTicks);
    busy.store(1);
    const uint32_t tag = ++scanTag;
    // The search touches no widget: its result goes to the page as a queued call, its last act.
    cameraStep->SetFinished([this, tag] {
        const CameraResult found = cameraStep->Result();
        SearchOutcome outcome = SearchOutcome::Stopped;
        switch (found.search) {
        case CameraResult::Search::Listed:
            outcome = SearchOutcome::Listed;
            break;
        case CameraResult::Search::Failed:
        case CameraResult::Search::Unreadable:
            outcome = SearchOutcome::Failed;
            break;
        case CameraResult::Search::TimedOut:
            outcome = SearchOutcome::TimedOut;
            break;
        default:
            break;
        }
        busy.store(0);
        QMetaObject::invokeMethod(
            this, [this, tag, outcome, lines = found.lines] { searchEnded(tag, outcome, lines); },
            Qt::QueuedConnection);
    });
    cameraStep->StartDiscover(recorder, static_cast<size_t>(CameraList::kMaxRows) + 1);
}

void CameraPage::searchEnded(uint32_t tag, SearchOutcome outcome, const std::vector<std::string>& lines)
{
    if (left || tag != scanTag || !searching)
        return;
    stopWorker(); // it has ended: its last act was this call
    ShowCameraLines(lines, outcome);
}

void CameraPage::ShowCameraLines(const std::vector<std::string>& lines, SearchOutcome outcome)
{
    if (outcome == SearchOutcome::Listed) {
        searchProblem->hide();
        searchAgain->hide();
        cameraList->DeleteAllRows();
        fillList(lines);
    } else if (outcome == SearchOutcome::Failed || outcome == SearchOutcome::TimedOut) {
        // The list shows nothing and the session keeps the cameras it had; the page says why.
        cameraList->DeleteAllRows();
        noCamera->hide();
        showSearchProblem(outcome);
    }
    // Stopped: nothing changes.
    endSearch();
}

void CameraPage::showSearchProblem(SearchOutcome outcome)
{
    searchProblem->SetText(outcome == SearchOutcome::TimedOut
            ? Qt8(Text("camsearch_no_answer", "The NVR did not answer the search for cameras."))
            : Qt8(Text("camsearch_unreadable", "The NVR's list of cameras could not be read.")));
    searchProblem->show();
    searchProblem->raise();
    searchAgain->show();
    searchAgain->raise();
}

QString CameraPage::searchProblemText() const
{
    return searchProblem->isHidden() ? QString() : searchProblem->text();
}

void CameraPage::fillList(const std::vector<std::string>& lines)
{
    WizardSession& session = context.Session();
    session.ClearCameras();
    for (const std::string& line : lines) {
        if (session.CameraCount() >= CameraList::kMaxRows)
            break;
        session.AppendCamera(ParseCameraLine(line));
    }
    int checkedCount = 0;
    const std::vector<CameraRowState> states = StartRows(session.cameras, remembered, checkedCount);
    for (int i = 0; i < session.CameraCount(); ++i) {
        const CameraRecord& camera = *session.Camera(i);
        const QString number = QString::number(i + 1);
        const int row = cameraList->AppendRow(number);
        if (row < 0)
            break;
        cameraList->SetCellText(row, CameraList::kNumberColumn, number);
        cameraList->SetCellText(row, CameraList::kModelColumn, Qt8(camera.model));
        cameraList->SetCellText(row, CameraList::kIpColumn, Qt8(camera.ip));
        cameraList->SetVerified(row, states[static_cast<size_t>(i)].verified);
        if (states[static_cast<size_t>(i)].checked)
            cameraList->CheckRow(row);
    }
    noCamera->setVisible(cameraList->rowCount() == 0);
    if (noCameraShown())
        noCamera->raise();
    cameraList->viewport()->update();
}

void CameraPage::endSearch()
{
    searching = false;
    busy.store(0);
    searchingAnimation->Stop();
    searchingAnimation->hide();
    setButtonsBusy(false);
}

void CameraPage::checkRequest(int row, intptr_t generationTag)
{
    // The list asks again only once this request is answered, whatever the answer.
    struct Answered
    {
        QPointer<CameraList> list;
        ~Answered()
        {
            if (list)
                list->CheckRequestHandled();
        }
    } answered { cameraList };
    if (checkBusy || searching || nextGuard
        || generationTag != static_cast<intptr_t>(cameraList->generation() & 0x7FFFFFFF))
        return;
    CameraRecord* camera = context.Session().Camera(row);
    if (camera == nullptr || row >= cameraList->rowCount())
        return;
    const CameraRowState state { cameraList->IsChecked(row), cameraList->IsVerified(row) };
    const CheckAction action = DecideCheck(state, *camera, cameraList->CheckedCount());
    if (action == CheckAction::Refuse)
        return;
    if (action == CheckAction::Check) {
        cameraList->CheckRow(row);
        return;
    }
    CameraPasswordJob job;
    job.kind = action == CheckAction::EnterPassword ? CameraPasswordJob::Verify : CameraPasswordJob::Create;
    job.mac = camera->mac;
    job.address = camera->ip;
    job.row = row;
    job.generation = cameraList->generation();
    job.useUdp = ProtocolTypeValue(camera->protocolType) == 0;
    job.model = camera->model;
    job.oldPassword = camera->password;
    checkBusy = true;
    QPointer<CameraPage> alive(this);
    passwords->Open(this, job);
    if (!alive)
        return;
    checkBusy = false;
    if (!left && cameraList->CheckedCount() >= CameraList::kMaxChecked) {
        cameraList->setFocus();
        cameraList->viewport()->update();
    }
}

void CameraPage::passwordAccepted(const CameraPasswordJob& job)
{
    // Only for the camera the job was made for, in the list it was made in.
    if (left || job.generation != cameraList->generation())
        return;
    CameraRecord* camera = context.Session().Camera(job.row);
    if (camera == nullptr || job.row >= cameraList->rowCount() || !IsSameCamera(*camera, job.mac, job.address))
        return;
    if (job.kind == CameraPasswordJob::Verify)
        cameraList->SetVerified(job.row, true);
    cameraList->CheckRow(job.row);
    camera->password = job.password;
    camera->verified = 1;
}

void CameraPage::openPreview(int row)
{
    const CameraRecord* camera = context.Session().Camera(row);
    if (camera == nullptr || !cameraList->IsVerified(row))
        return;
    previewAnchor = cameraList->previewAnchor() + QPoint(2, -5);
    OverlayValues values;
    values.address = camera->ip;
    values.texts[0] = "admin";
    values.texts[1] = camera->password;
    values.texts[2] = camera->model + "   " + camera->ip;
    values.anchor = previewAnchor;
    values.value = ProtocolTypeValue(camera->protocolType) == 0 ? 1 : 0;
    OpenOverlay(Dimmer::KindPreview, values);
}

void CameraPage::OnNext()
{
    if (left || nextGuard || searching)
        return;
    nextGuard = true;
    QPointer<CameraPage> alive(this);
    passwords->Stop();
    stopWorker();
    setButtonsBusy(true);
    context.Portal().skipped = false;
    // A registration that cannot be read is no dead end: RETRY reads it again, SKIP goes on without the cloud
    // service (the cameras are still registered), the cross stays on the page.
    while (!runCloudCheck()) {
        if (!alive || left)
            return;
        const int answer = askAfterCloudCheck();
        if (!alive || left)
            return;
        if (answer == kRetryResult)
            continue;
        if (answer == ModalLayer::IDOK) {
            context.Portal() = CloudPortalInfo();
            context.Portal().access = "0"; // no cloud page
            context.Portal().skipped = true;
            break;
        }
        setButtonsBusy(false);
        nextGuard = false;
        return;
    }
    if (!alive || left)
        return;
    runRegistrations();
    if (!alive || left)
        return;
    setButtonsBusy(false);
    context.Session().SetCloudAccount(cloud.regEmail, cloud.regPassword);
    nextGuard = false;
    left = true; // done: nothing more of the page runs
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

int CameraPage::askAfterCloudCheck()
{
    Dimmer dimmer(this, Dimmer::KindError);
    const int status = cloud.netFailed ? cloud.regStatus : cloud.portalStatus;
    dimmer.values.text = RecorderFailureText(NetworkFailureOfStatus(status)) + "\n"
        + Text("camsearch_cloud_skip", "SKIP goes on without the Quelmo service: the NVR is set up without it.");
    dimmer.values.retryResult = kRetryResult;
    dimmer.values.closeCaption = Text("_SKIP", "SKIP");
    dimmer.DoModal();
    return dimmer.overlayResult();
}

// The recorder's cloud registration and portal record, read while a waiting box shows. False when the
// registration could not be read over a connection that could be prepared.
bool CameraPage::runCloudCheck()
{
    QPointer<CameraPage> alive(this);
    portalValues.values[PortalValues::Access] = "0";
    cloud = CloudResult();
    cloudStep->SetFinished({});
    cloudStep->StartStatus(recorder);
    {
        WaitingBox box(this, &cloudStep->Busy(), kCloudTicks);
        box.DoModal();
    }
    if (!alive)
        return false;
    stopWorker();
    cloud = cloudStep->Result();
    // A portal record that could not be read is a failure too: going on would skip the cloud page without a word.
    if (left || cloud.netFailed || !cloud.portalRead)
        return false;
    CloudStep::ApplyPortalText(cloud.portalText, portalValues);
    CloudPortalInfo& portal = context.Portal();
    portal.status = portalValues.values[PortalValues::Status];
    portal.access = portalValues.values[PortalValues::Access];
    portal.portal_url = portalValues.values[PortalValues::Url];
    portal.portal_number = portalValues.values[PortalValues::Number];
    portal.portal_dfp = portalValues.values[PortalValues::Dfp];
    portal.localhyperlink = portalValues.values[PortalValues::Link];
    return true;
}

void CameraPage::runRegistrations()
{
    QPointer<CameraPage> alive(this);
    WizardSession& session = context.Session();
    if (cameraList->rowCount() > 0) {
        for (int row = 0; row < cameraList->rowCount(); ++row) {
            if (CameraRecord* camera = session.Camera(row))
                camera->selected = cameraList->IsChecked(row) ? 1 : 0;
        }
    }
    std::vector<RegistrationStep> steps = PlanRegistration(session.cameras);
    std::vector<CameraToSend> sends;
    for (const RegistrationStep& step : steps) {
        const CameraRecord& camera = *session.Camera(step.camera);
        sends.push_back({ camera.ip, camera.mac, camera.model, camera.model, camera.brand, camera.password,
            ProtocolTypeValue(camera.protocolType) });
    }
    cameraStep->SetFinished({});
    cameraStep->StartRegister(recorder, steps, std::move(sends));
    {
        WaitingBox box(this, &cameraStep->Busy(), kAddTicks);
        box.DoModal();
    }
    if (!alive)
        return;
    // The box may have reached its limit first: the step is stopped and joined before anything is read, and a
    // registration it did not finish counts as not done.
    stopWorker();
    if (left)
        return;
    steps = cameraStep->Result().steps;
    ApplyRegistration(session.cameras, steps);
}

void CameraPage::OnBack()
{
    if (left || nextGuard)
        return;
    left = true;
    firstScanTimer.stop();
    passwords->Stop();
    stopWorker();
    PostToHost(WM_STORAGE_WATCH, 0);
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void CameraPage::stopWorker()
{
    cameraStep->Stop();
    cloudStep->Stop();
}
