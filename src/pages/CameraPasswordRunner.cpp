#include "pages/CameraPasswordRunner.h"

#include "pages/CCameraPwd2Page.h"
#include "pages/CCameraPwdPage.h"
#include "session/CreatePasswordWorker.h"
#include "session/VerifyWorker.h"
#include "session/WizardContext.h"

#include <QMetaObject>

CameraPasswordRunner::CameraPasswordRunner(WizardContext& wizardContext, QObject* parent)
    : QObject(parent)
    , context(wizardContext)
{
    qRegisterMetaType<CameraPasswordJob>();
}

CameraPasswordRunner::~CameraPasswordRunner()
{
    endWorker();
}

bool CameraPasswordRunner::Busy() const
{
    return worker && worker->Running();
}

void CameraPasswordRunner::endWorker()
{
    if (worker)
        worker->Stop();
    worker.reset();
}

void CameraPasswordRunner::Stop()
{
    endWorker();
    deliver();
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
        if (Busy()) {
            answer->store(CameraPasswordOverlay::Refused); // one password job at a time
            return answer;
        }
        endWorker(); // the previous one has ended: joined at once
        CameraPasswordJob job = camera;
        job.password = password;
        // The worker writes its outcome for this overlay's OK only, and queues an accepted job for the page before
        // it says so, so the page has it by the time the overlay closes.
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
        return answer;
    };

    CameraPasswordOverlay* layer = nullptr;
    if (camera.kind == CameraPasswordJob::Create)
        layer = new CCameraPwd2Page(page, camera.model, submit);
    else
        layer = new CCameraPwdPage(page, camera.model, submit);
    overlay = layer;
    QPointer<CameraPasswordOverlay> guard(layer);
    layer->Run();
    delete guard.data(); // unless the window took it along
    if (!alive)
        return;
    overlay = nullptr;
    deliver();
}
