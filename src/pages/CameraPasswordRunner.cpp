#include "pages/CameraPasswordRunner.h"

#include "pages/CreateCameraPasswordOverlay.h"
#include "pages/EnterCameraPasswordOverlay.h"
#include "session/CreatePasswordWorker.h"
#include "session/VerifyWorker.h"
#include "session/WizardContext.h"

#include <QMetaObject>
#include <QTimerEvent>

namespace {

constexpr int kWaitingLookMs = 20; // how often a waiting job looks for the previous worker's end

} // namespace

CameraPasswordRunner::CameraPasswordRunner(WizardContext& wizardContext, QObject* parent)
    : QObject(parent)
    , context(wizardContext)
{
    qRegisterMetaType<CameraPasswordJob>();
}

CameraPasswordRunner::~CameraPasswordRunner()
{
    dropWaiting();
    endWorker();
}

bool CameraPasswordRunner::Busy() const
{
    return waiting.has_value() || (worker && worker->Running());
}

void CameraPasswordRunner::endWorker()
{
    if (worker)
        worker->Stop();
    worker.reset();
}

void CameraPasswordRunner::dropWaiting()
{
    waitingTimer.stop();
    if (waiting)
        waiting->answer->store(CameraPasswordOverlay::Refused);
    waiting.reset();
}

void CameraPasswordRunner::Stop()
{
    dropWaiting();
    endWorker();
    deliver();
}

void CameraPasswordRunner::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != waitingTimer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (!waiting || (worker && worker->Running()))
        return;
    waitingTimer.stop();
    WaitingJob next = std::move(*waiting);
    waiting.reset();
    start(std::move(next.job), next.answer);
}

void CameraPasswordRunner::start(CameraPasswordJob job, const Answer& answer)
{
    endWorker(); // the previous one has ended: joined at once
    // The worker writes its outcome for this job's OK only, and queues an accepted job for the page before it says
    // so, so the page has it by the time the overlay closes.
    auto report = [this, answer](const CameraPasswordJob& done, bool taken) {
        if (taken) {
            {
                std::lock_guard<std::mutex> guard(acceptedLock);
                accepted.push_back(done);
            }
            QMetaObject::invokeMethod(this, &CameraPasswordRunner::deliver, Qt::QueuedConnection);
        }
        answer->store(taken ? CameraPasswordOverlay::Accepted : CameraPasswordOverlay::Refused);
    };
    SearchDevice& discovery = context.DiscoveryEngine();
    if (job.kind == CameraPasswordJob::Create)
        worker = std::make_unique<CreatePasswordWorker>(discovery, std::move(job), std::move(report));
    else
        worker = std::make_unique<VerifyWorker>(discovery, std::move(job), std::move(report));
    worker->Start();
}

void CameraPasswordRunner::deliver()
{
    std::vector<CameraPasswordJob> ready;
    {
        std::lock_guard<std::mutex> guard(acceptedLock);
        ready.swap(accepted);
    }
    for (const CameraPasswordJob& job : ready)
        emit PasswordAccepted(job);
}

void CameraPasswordRunner::Open(QWidget* page, const CameraPasswordJob& camera)
{
    if (page == nullptr || overlay)
        return;
    QPointer<CameraPasswordRunner> alive(this);
    auto submit = [this, camera](const std::string& password) {
        auto answer = std::make_shared<std::atomic<int32_t>>(CameraPasswordOverlay::Pending);
        CameraPasswordJob job = camera;
        job.password = password;
        if (Busy()) {
            // One password job at a time. A job still waiting for its camera's answer refuses another at once; a
            // worker that has answered only waits out its last second, and the new job starts after it (a user
            // who types the right password quickly after a wrong one is not told it is wrong without it being
            // tried).
            if (waiting || !worker || !worker->Decided()) {
                answer->store(CameraPasswordOverlay::Refused);
                return answer;
            }
            waiting = WaitingJob { std::move(job), answer };
            waitingTimer.start(kWaitingLookMs, this);
            return answer;
        }
        start(std::move(job), answer);
        return answer;
    };

    CameraPasswordOverlay* layer = nullptr;
    if (camera.kind == CameraPasswordJob::Create)
        layer = new CreateCameraPasswordOverlay(page, camera.model, submit);
    else
        layer = new EnterCameraPasswordOverlay(page, camera.model, submit);
    overlay = layer;
    QPointer<CameraPasswordOverlay> guard(layer);
    layer->Run();
    delete guard.data(); // unless the window took it along
    if (!alive)
        return;
    overlay = nullptr;
    deliver();
}
