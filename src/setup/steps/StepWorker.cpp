#include "setup/steps/StepWorker.h"

#include "device/NvrClient.h"
#include "net/HttpGet.h"
#include "platform/WaitTimeline.h"

#include <chrono>

StepWorker::StepWorker(NvrClient* requestObject)
    : client(requestObject)
{
}

StepWorker::~StepWorker()
{
    Stop();
}

StepPhase StepWorker::Poll() const
{
    if (busy.load(std::memory_order_acquire) != 0)
        return StepPhase::Running;
    return started.load() ? StepPhase::Finished : StepPhase::Idle;
}

void StepWorker::Begin(std::function<void()> work)
{
    Stop();
    {
        std::lock_guard<std::mutex> guard(runLock);
        run = true;
    }
    busy.store(1, std::memory_order_release);
    started.store(true);
    thread = std::thread([this, work = std::move(work)] {
        work();
        busy.store(0, std::memory_order_release);
        if (finished)
            finished();
    });
}

void StepWorker::Stop()
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
    if (!thread.joinable() || thread.get_id() == std::this_thread::get_id())
        return;
    if (client != nullptr)
        client->Stop(); // a command in flight ends at once
    thread.join();
    if (client != nullptr)
        client->Stop(); // and one issued while the first stop went on
}

void StepWorker::WaitEnd(const std::atomic<bool>* stop, int intervalMs, int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (Poll() == StepPhase::Running) {
        if ((stop != nullptr && stop->load()) || (limitMs > 0 && std::chrono::steady_clock::now() >= deadline)) {
            Stop();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
        thread.join();
}

bool StepWorker::Running() const
{
    std::lock_guard<std::mutex> guard(runLock);
    return run;
}

bool StepWorker::Pause(int ms, const char* what)
{
    WaitTimeline::Note(what, static_cast<uint32_t>(ms));
    std::unique_lock<std::mutex> guard(runLock);
    return !runChanged.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !run; });
}

bool StepWorker::OpenRequest(HttpGet& http, const std::string& host, const std::string& user,
    const std::string& password, uint32_t timeoutMs, int secure, int port)
{
    // Under the lock: a stop either comes before (and nothing opens) or closes what was opened.
    std::lock_guard<std::mutex> guard(requestLock);
    if (!Running())
        return false;
    request = &http;
    return http.Open(host, user, password, timeoutMs, secure, port, HttpGet::CertificateCheck::Relaxed);
}

void StepWorker::ForgetRequest()
{
    std::lock_guard<std::mutex> guard(requestLock);
    request = nullptr;
}

int32_t StepWorker::Settle(int stepMs, int steps, const char* what)
{
    for (int i = 0; i < steps && client->State() == NvrClient::Busy && Pause(stepMs, what); ++i) { }
    return client->State();
}
