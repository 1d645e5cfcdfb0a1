#include "OneShotTimer.h"

#include <condition_variable>

struct OneShotTimer::Run
{
    std::mutex lock;
    std::condition_variable wake;
    bool cancelled = false;
    bool finished = false;
};

namespace {

// The timer and run whose handler this thread is executing, so a handler can recognise its own timer.
thread_local const OneShotTimer* currentTimer = nullptr;
thread_local void* currentRun = nullptr;

} // namespace

OneShotTimer::~OneShotTimer()
{
    if (onOwnThread()) {
        // Destroyed from its own handler: the thread cannot join itself; it ends after the handler.
        Cancel();
        if (thread.joinable()) {
            thread.detach();
        }
        return;
    }
    Cancel();
}

bool OneShotTimer::onOwnThread() const
{
    return currentTimer == this;
}

bool OneShotTimer::Start(std::chrono::milliseconds delay, bool periodic, std::function<void()> handler)
{
    if (onOwnThread()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(controlLock);
    cancelLocked();
    run = std::make_shared<Run>();
    thread = std::thread(&OneShotTimer::loop, this, run, delay, periodic, std::move(handler));
    return true;
}

void OneShotTimer::Cancel()
{
    if (onOwnThread()) {
        auto* own = static_cast<Run*>(currentRun);
        std::lock_guard<std::mutex> guard(own->lock);
        own->cancelled = true;
        return;
    }
    std::lock_guard<std::mutex> guard(controlLock);
    cancelLocked();
}

void OneShotTimer::cancelLocked()
{
    if (run) {
        {
            std::lock_guard<std::mutex> runGuard(run->lock);
            run->cancelled = true;
        }
        run->wake.notify_all();
    }
    if (thread.joinable()) {
        thread.join();
    }
    run.reset();
}

bool OneShotTimer::Pending() const
{
    std::shared_ptr<Run> current;
    if (onOwnThread()) {
        auto* own = static_cast<Run*>(currentRun);
        std::lock_guard<std::mutex> guard(own->lock);
        return !own->cancelled && !own->finished;
    }
    {
        std::lock_guard<std::mutex> guard(controlLock);
        current = run;
    }
    if (!current) {
        return false;
    }
    std::lock_guard<std::mutex> guard(current->lock);
    return !current->cancelled && !current->finished;
}

void OneShotTimer::loop(OneShotTimer* timer, std::shared_ptr<Run> run, std::chrono::milliseconds delay, bool periodic,
    std::function<void()> handler)
{
    currentTimer = timer;
    currentRun = run.get();
    auto due = std::chrono::steady_clock::now() + delay;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(run->lock);
            if (run->wake.wait_until(lock, due, [&] { return run->cancelled; })) {
                break;
            }
            if (!periodic) {
                run->finished = true;
            }
        }
        handler();
        if (!periodic) {
            break;
        }
        due += delay;
    }
    currentTimer = nullptr;
    currentRun = nullptr;
}
