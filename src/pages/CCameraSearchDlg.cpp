#include "pages/CCameraSearchDlg.h"

#include "device/AnswerParser.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "net/HttpGet.h"
#include "overlays/AlertBox.h"
#include "overlays/CTransparentPage.h"
#include "overlays/CWaitingPage.h"
#include "pages/CCamListCtrl.h"
#include "pages/CameraPasswordRunner.h"
#include "platform/WaitTimeline.h"
#include "session/CameraLine.h"
#include "session/WizardContext.h"
#include "ui/CBaseStatic2.h"
#include "ui/CIconButton.h"
#include "ui/CLinkStatic.h"
#include "ui/CListCtrlVScrollbar.h"
#include "ui/CLoadingStatic.h"
#include "ui/COrselButton2.h"
#include "ui/COrselStatic.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QFontMetrics>
#include <QPointer>
#include <QTimerEvent>
#include <chrono>
#include <climits>
#include <cstring>

namespace {

constexpr int kListLeft = 80;
constexpr int kListWidth = 688;
constexpr int kListHeight = 225;
constexpr int kRegInfoBytes = 8200;
constexpr uint32_t kRegInfoTimeoutMs = 6000;
constexpr int kSpinnerTicks = INT_MAX; // the animation turns until the search has ended

QString Qt8(const std::string& text)
{
    return FromUtf8(text);
}

} // namespace

CCameraSearchDlg::CCameraSearchDlg(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 10, 3001)
    , context(wizardContext)
    , recorder(wizardContext.Recorder())
{
    SetTitle(Qt8(Text("camsearch_01", "Add your cameras")));
    ShowNavButtons(true, true);

    description = new CBaseStatic2(this);
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

    rescan = new CIconButton(this);
    rescan->setObjectName(QStringLiteral("rescan"));
    for (int slot = 0; slot < 4; ++slot)
        rescan->SetImage(slot, 4015);
    rescan->SetIcon(3055);
    rescan->setText(Qt8(Text("Rescan", "Rescan")));
    const int rescanWidth = rescan->CaptionWidth() + 41;
    rescan->setGeometry(782 - rescanWidth, top + 133, rescanWidth, 30);
    connect(rescan, &QAbstractButton::clicked, this, [this] { PostWindowMessage(this, WM_RESCAN_CAMERAS); });

    const int listTop = top + 168;
    cameraList = new CCamListCtrl(this);
    cameraList->setGeometry(kListLeft, listTop, kListWidth, kListHeight);
    cameraList->SetTitles(Qt8(Text("Model Name", "Model Name")), Qt8(Text("IP Address", "IP Address")));
    cameraList->SetHeaderImage(3052);
    scrollBar = new CListCtrlVScrollbar(this);
    scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar->setGeometry(kListLeft + kListWidth, listTop, 14, kListHeight);
    scrollBar->SetImage(3053);
    cameraList->SetScrollBar(scrollBar);

    searchingAnimation = new CLoadingStatic(this);
    searchingAnimation->setObjectName(QStringLiteral("searching"));
    searchingAnimation->setGeometry(QRect(QPoint(130, top + 220), QPoint(730, top + 340)));
    searchingAnimation->SetStyle(0xFF2AA9D1u);
    searchingAnimation->SetText(Qt8(Text("Searching device", "Searching device")));
    searchingAnimation->Layout();
    searchingAnimation->hide();

    noCamera = new COrselStatic(this);
    noCamera->setObjectName(QStringLiteral("noCamera"));
    noCamera->SetFont(14, MakeRgb(42, 169, 209), false);
    noCamera->setCentre(true);
    noCamera->SetText(Qt8(Text("No camera found!", "No camera found!")));
    const int noticeWidth = QFontMetrics(noCamera->DrawingFont()).horizontalAdvance(noCamera->text());
    noCamera->setGeometry(429 - noticeWidth / 2, top + 280, noticeWidth + 1, 30);
    noCamera->hide();

    installLink = new CLinkStatic(this);
    installLink->setObjectName(QStringLiteral("installLink"));
    installLink->setGeometry(76, top + 418, 786, 26);
    installLink->SetFont(14, MakeRgb(42, 169, 209));
    installLink->SetIcon(4012);
    installLink->setOverlayKind(CTransparentPage::KindInstallCam);
    installLink->SetText(Qt8(Text("camsearch_03", "How to install your network camera.")));

    passwords = new CameraPasswordRunner(context, this);
    connect(passwords, &CameraPasswordRunner::PasswordAccepted, this,
        [this](const CameraPasswordJob& job) { passwordAccepted(job); });

    firstScanTimer.start(kFirstScanDelayMs, this);
    WaitTimeline::Note("first camera scan delay", kFirstScanDelayMs);
}

CCameraSearchDlg::~CCameraSearchDlg()
{
    Leave();
}

void CCameraSearchDlg::Leave()
{
    left = true;
    firstScanTimer.stop();
    passwords->Stop();
    stopWorker();
    busy.store(0); // a waiting box still up ends at its next tick
    searchingAnimation->Stop();
}

bool CCameraSearchDlg::noCameraShown() const
{
    return !noCamera->isHidden();
}

void CCameraSearchDlg::timerEvent(QTimerEvent* event)
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

void CCameraSearchDlg::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (left)
        return;
    switch (message) {
    case WM_RESCAN_CAMERAS:
        Rescan();
        return;
    case WM_CAMERA_CHECK_REQUEST:
        checkRequest(static_cast<int>(wParam), lParam);
        return;
    case WM_OPEN_OVERLAY:
        if (lParam < 0)
            return;
        if (wParam == CTransparentPage::KindPreview)
            openPreview(static_cast<int>(lParam));
        else
            OpenOverlay(static_cast<int>(wParam));
        return;
    default:
        WizardPage::onMessage(message, wParam, lParam);
    }
}

void CCameraSearchDlg::setButtonsBusy(bool isBusy)
{
    for (COrselButton* button : { static_cast<COrselButton*>(rescan), static_cast<COrselButton*>(nextButton()),
             static_cast<COrselButton*>(backButton()) }) {
        button->setEnabled(!isBusy);
        button->setLatched(isBusy);
    }
    closeButton()->setEnabled(!isBusy);
}

std::vector<CameraRowState> CCameraSearchDlg::rowStates() const
{
    std::vector<CameraRowState> states;
    for (int row = 0; row < cameraList->rowCount(); ++row)
        states.push_back({ cameraList->IsChecked(row), cameraList->IsVerified(row) });
    return states;
}

void CCameraSearchDlg::Rescan()
{
    firstScanTimer.stop();
    firstScanDone = true;
    if (left || searching || nextGuard)
        return;
    // Whatever was under way for the old list ends with it; its results can no longer land.
    passwords->Stop();
    stopWorker();
    noCamera->hide();
    RememberVerifiedRows(remembered, rowStates(), context.Session().cameras);
    cameraList->DeleteAllRows();
    searching = true;
    setButtonsBusy(true);
    searchingAnimation->show();
    searchingAnimation->raise();
    searchingAnimation->Start(kSpinnerTicks);
    busy.store(1);
    const uint32_t tag = ++scanTag;
    startWorker([this, tag] { searchWorker(tag); });
}

// On the worker's thread: asks the recorder for its camera lines and hands them to the page. One deadline decides
// a search that gets no answer, so the same silence always ends the same way.
void CCameraSearchDlg::searchWorker(uint32_t tag)
{
    NvrClient& client = context.Client();
    SearchOutcome outcome = SearchOutcome::Stopped;
    std::vector<std::string> lines;
    client.Stop();
    if (pause(500)) {
        bool started = client.DiscoverCameras(recorder.ip, recorder.webPort, recorder.user, recorder.password);
        if (!started) {
            client.Stop();
            if (pause(500))
                started = client.DiscoverCameras(recorder.ip, recorder.webPort, recorder.user, recorder.password);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDiscoveryDeadlineMs);
        while (started && client.State() == NvrClient::Busy && std::chrono::steady_clock::now() < deadline
            && pause(100)) { }
        const int32_t state = client.State();
        if (!workerRunning()) {
            outcome = SearchOutcome::Stopped;
        } else if (started && state == NvrClient::Done) {
            outcome = SearchOutcome::Listed;
            for (int i = 0; i <= CCamListCtrl::kMaxRows; ++i) {
                std::string line = client.NextListItem();
                if (line.empty())
                    break;
                lines.push_back(std::move(line));
            }
        } else if (started && state == NvrClient::Failed && std::chrono::steady_clock::now() < deadline) {
            outcome = SearchOutcome::Failed;
        } else {
            outcome = SearchOutcome::TimedOut;
            client.Stop(); // a request still waiting ends here
        }
    }
    busy.store(0);
    QMetaObject::invokeMethod(
        this, [this, tag, outcome, lines] { searchEnded(tag, outcome, lines); }, Qt::QueuedConnection);
}

void CCameraSearchDlg::searchEnded(uint32_t tag, SearchOutcome outcome, const std::vector<std::string>& lines)
{
    if (left || tag != scanTag || !searching)
        return;
    stopWorker(); // it has ended: its last act was this call
    ShowCameraLines(lines, outcome);
}

void CCameraSearchDlg::ShowCameraLines(const std::vector<std::string>& lines, SearchOutcome outcome)
{
    if (outcome == SearchOutcome::Listed || outcome == SearchOutcome::Failed) {
        cameraList->DeleteAllRows();
        fillList(outcome == SearchOutcome::Listed ? lines : std::vector<std::string>());
    }
    // Timed out: the list stays empty and the session keeps the cameras it had; Stopped: nothing changes.
    endSearch();
}

void CCameraSearchDlg::fillList(const std::vector<std::string>& lines)
{
    WizardSession& session = context.Session();
    session.ClearCameras();
    for (const std::string& line : lines) {
        if (session.CameraCount() >= CCamListCtrl::kMaxRows)
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
        cameraList->SetCellText(row, CCamListCtrl::kNumberColumn, number);
        cameraList->SetCellText(row, CCamListCtrl::kModelColumn, Qt8(camera.model));
        cameraList->SetCellText(row, CCamListCtrl::kIpColumn, Qt8(camera.ip));
        cameraList->SetVerified(row, states[static_cast<size_t>(i)].verified);
        if (states[static_cast<size_t>(i)].checked)
            cameraList->CheckRow(row);
    }
    noCamera->setVisible(cameraList->rowCount() == 0);
    if (noCameraShown())
        noCamera->raise();
    cameraList->viewport()->update();
}

void CCameraSearchDlg::endSearch()
{
    searching = false;
    busy.store(0);
    searchingAnimation->Stop();
    searchingAnimation->hide();
    setButtonsBusy(false);
}

void CCameraSearchDlg::checkRequest(int row, intptr_t generationTag)
{
    // The list asks again only once this request is answered, whatever the answer.
    struct Answered
    {
        QPointer<CCamListCtrl> list;
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
    QPointer<CCameraSearchDlg> alive(this);
    passwords->Open(this, job);
    if (!alive)
        return;
    checkBusy = false;
    if (!left && cameraList->CheckedCount() >= CCamListCtrl::kMaxChecked) {
        cameraList->setFocus();
        cameraList->viewport()->update();
    }
}

void CCameraSearchDlg::passwordAccepted(const CameraPasswordJob& job)
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

void CCameraSearchDlg::openPreview(int row)
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
    OpenOverlay(CTransparentPage::KindPreview, values);
}

void CCameraSearchDlg::OnNext()
{
    if (left || nextGuard || searching)
        return;
    nextGuard = true;
    QPointer<CCameraSearchDlg> alive(this);
    passwords->Stop();
    stopWorker();
    setButtonsBusy(true);
    const bool cloudRead = runCloudCheck();
    if (!alive || left)
        return;
    if (!cloudRead) {
        OpenOverlay(CTransparentPage::KindError); // "Check Network Failed!"
        if (!alive || left)
            return;
        setButtonsBusy(false);
        nextGuard = false;
        return;
    }
    runRegistrations();
    if (!alive || left)
        return;
    setButtonsBusy(false);
    context.Session().SetCloudAccount(cloud.email, cloud.password);
    nextGuard = false;
    left = true; // done: nothing more of the page runs
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

// The recorder's cloud registration and portal record, read while a waiting box shows. False when the
// registration could not be read over a connection that could be prepared.
bool CCameraSearchDlg::runCloudCheck()
{
    QPointer<CCameraSearchDlg> alive(this);
    portalValues[1] = "0";
    cloud = CloudResult();
    busy.store(1);
    startWorker([this] { cloudWorker(); });
    {
        CWaitingPage box(this, &busy, kCloudTicks);
        box.DoModal();
    }
    if (!alive)
        return false;
    stopWorker();
    if (left || cloud.netFailed)
        return false;
    if (cloud.portalRead)
        applyPortal(cloud.portalText);
    CloudPortalInfo& portal = context.Portal();
    portal.status = portalValues[0];
    portal.access = portalValues[1];
    portal.portal_url = portalValues[2];
    portal.portal_number = portalValues[3];
    portal.portal_dfp = portalValues[4];
    portal.localhyperlink = portalValues[5];
    return true;
}

void CCameraSearchDlg::applyPortal(const std::string& joined)
{
    // Format: status&access&portal_url&portal_number&portal_dfp&model&localhyperlink (the last may hold "&").
    std::string rest = joined;
    std::array<std::string, 6> pieces;
    size_t found = 0;
    for (; found < pieces.size(); ++found) {
        const size_t amp = rest.find('&');
        if (amp == std::string::npos)
            break;
        pieces[found] = rest.substr(0, amp);
        rest.erase(0, amp + 1);
    }
    for (size_t i = 0; i < 5 && i < found; ++i)
        portalValues[i] = pieces[i];
    portalValues[5] = rest;
}

// On the worker's thread.
void CCameraSearchDlg::cloudWorker()
{
    CloudResult result;
    {
        HttpGet http;
        if (openRequest(http)) {
            std::vector<char> buffer(kRegInfoBytes, 0);
            size_t size = buffer.size();
            int status = 0;
            const bool fetched = http.GetAuthorised("/config/quelmoreginfo", buffer.data(), &size)
                && http.QueryStatusCode(status) && status >= 200 && status <= 299;
            if (fetched) {
                AnswerParser answer(std::string(buffer.data(), strnlen(buffer.data(), size)));
                answer.SplitPairs("\r\n");
                result.regRead = true;
                result.email = answer.Value("email");
                result.password = answer.Value("password");
            } else {
                result.netFailed = workerRunning();
            }
        }
        forgetRequest();
    }
    NvrClient& client = context.Client();
    // After a failed registration read the page stays with its error and uses no portal value: the portal read
    // (up to 15 s against a recorder that stopped answering) is not made.
    if (workerRunning() && !result.netFailed) {
        client.Stop();
        bool started = client.GetCloudPortal(recorder.ip, recorder.webPort, "admin", recorder.password);
        if (!started) {
            client.Stop();
            if (pause(600))
                started = client.GetCloudPortal(recorder.ip, recorder.webPort, "admin", recorder.password);
        }
        for (int poll = 0; started && poll < 30 && pause(500); ++poll) {
            const std::string text = client.PortalInfo();
            if (text.empty())
                continue; // still busy
            if (text != "-1") {
                result.portalRead = true;
                result.portalText = text;
            }
            break;
        }
        client.Stop();
    }
    if (!workerRunning())
        result = CloudResult(); // stopped: nothing it read counts
    cloud = result;
    busy.store(0); // last act: the box ends at its next tick
}

void CCameraSearchDlg::runRegistrations()
{
    QPointer<CCameraSearchDlg> alive(this);
    WizardSession& session = context.Session();
    if (cameraList->rowCount() > 0) {
        for (int row = 0; row < cameraList->rowCount(); ++row) {
            if (CameraRecord* camera = session.Camera(row))
                camera->selected = cameraList->IsChecked(row) ? 1 : 0;
        }
    }
    steps = PlanRegistration(session.cameras);
    stepCameras.clear();
    for (const RegistrationStep& step : steps) {
        const CameraRecord& camera = *session.Camera(step.camera);
        stepCameras.push_back({ camera.ip, camera.mac, camera.model, camera.brand, camera.password,
            ProtocolTypeValue(camera.protocolType) });
    }
    busy.store(1);
    startWorker([this] {
        NvrClient& client = context.Client();
        client.Stop();
        size_t index = 0;
        RunRegistration(
            steps, [this, &index](const RegistrationStep& step) { return sendStep(step, stepCameras[index++]); },
            [this] { return workerRunning(); });
        client.Stop();
        busy.store(0);
    });
    {
        CWaitingPage box(this, &busy, kAddTicks);
        box.DoModal();
    }
    if (!alive)
        return;
    // The box may have reached its limit first: the worker is stopped and joined before anything is read, and a
    // step it did not finish counts as not done.
    stopWorker();
    if (left)
        return;
    ApplyRegistration(session.cameras, steps);
}

int32_t CCameraSearchDlg::settle(int stepMs, int stepCount)
{
    NvrClient& client = context.Client();
    for (int i = 0; i < stepCount && client.State() == NvrClient::Busy && pause(stepMs); ++i) { }
    return client.State();
}

// On the worker's thread: one removal or registration; true when the recorder took it.
bool CCameraSearchDlg::sendStep(const RegistrationStep& step, const StepCamera& camera)
{
    NvrClient& client = context.Client();
    if (!pause(100))
        return false;
    bool started = false;
    if (step.kind == RegistrationStep::Remove) {
        started = client.DeleteCamera(recorder.ip, recorder.webPort, recorder.user, recorder.password, step.avdevId);
    } else {
        started = client.AddCamera(recorder.ip, recorder.webPort, recorder.user, recorder.password, step.avdevId,
            camera.model, camera.ip, camera.mac, camera.protocolType, "admin", camera.password, camera.brand,
            camera.model);
    }
    const bool done = started && settle(50, 300) == NvrClient::Done && workerRunning();
    if (done && step.kind == RegistrationStep::Remove)
        pause(1000);
    client.Stop();
    pause(800);
    return done;
}

void CCameraSearchDlg::OnBack()
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

void CCameraSearchDlg::startWorker(std::function<void()> body)
{
    stopWorker();
    {
        std::lock_guard<std::mutex> guard(runLock);
        run = true;
    }
    worker = std::thread(std::move(body));
}

void CCameraSearchDlg::stopWorker()
{
    {
        std::lock_guard<std::mutex> guard(runLock);
        run = false;
    }
    runChanged.notify_all();
    {
        std::lock_guard<std::mutex> guard(requestLock);
        if (request != nullptr)
            request->Close(); // a request in flight ends at once
    }
    if (worker.joinable()) {
        context.Client().Stop(); // a command in flight ends at once
        worker.join();
        context.Client().Stop(); // and one issued while the first stop went on
    }
}

bool CCameraSearchDlg::workerRunning()
{
    std::lock_guard<std::mutex> guard(runLock);
    return run;
}

bool CCameraSearchDlg::pause(int ms)
{
    WaitTimeline::Note("camera page pause", static_cast<uint32_t>(ms));
    std::unique_lock<std::mutex> guard(runLock);
    return !runChanged.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !run; });
}

bool CCameraSearchDlg::openRequest(HttpGet& http)
{
    // Under the lock: a stop either comes before (and nothing opens) or closes what was opened.
    std::lock_guard<std::mutex> guard(requestLock);
    if (!workerRunning())
        return false;
    request = &http;
    return http.Open(
        recorder.ip, recorder.user, recorder.password, kRegInfoTimeoutMs, 1, 443, HttpGet::CertificateCheck::Relaxed);
}

void CCameraSearchDlg::forgetRequest()
{
    std::lock_guard<std::mutex> guard(requestLock);
    request = nullptr;
}
