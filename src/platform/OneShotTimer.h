#pragma once
// A cancellable timer that calls its handler once (or periodically) on a thread of its own, for the
// search time and the reply time-out of the datagram commands.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class OneShotTimer
{
public:
    OneShotTimer() = default;
    ~OneShotTimer();
    OneShotTimer(const OneShotTimer&) = delete;
    OneShotTimer& operator=(const OneShotTimer&) = delete;

    // Cancels a pending run (waiting for a handler in progress), then calls `handler` on a new thread
    // `delay` from now, once, or every `delay` when `periodic` is set, until cancelled. Returns false
    // (and starts nothing) when called from this timer's own handler.
    bool Start(std::chrono::milliseconds delay, bool periodic, std::function<void()> handler);

    // After Cancel returns the handler is not running and will not run again. Called from this timer's
    // own handler it only marks the run as cancelled: the handler goes on to its end, the thread then
    // ends and is joined by the next Start, Cancel or the destructor.
    void Cancel();

    // True while a run is started and neither cancelled nor, for a one-shot run, fired.
    bool Pending() const;

private:
    struct Run;
    static void loop(OneShotTimer* timer, std::shared_ptr<Run> run, std::chrono::milliseconds delay, bool periodic,
        std::function<void()> handler);
    bool onOwnThread() const;
    void cancelLocked();

    mutable std::mutex controlLock; // serialises Start, Cancel and Pending from other threads
    std::thread thread;
    std::shared_ptr<Run> run;
};
