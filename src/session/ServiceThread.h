#pragma once
// The control of one background service thread: a run flag, an interruptible sleep, and a stop that clears
// the flag, wakes the thread, waits for it a bounded time and joins it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class ServiceThread
{
public:
    ServiceThread() = default;
    ~ServiceThread(); // stops and joins
    ServiceThread(const ServiceThread&) = delete;
    ServiceThread& operator=(const ServiceThread&) = delete;

    // Sets the run flag and starts body on a new thread. A previous thread must have been stopped.
    void Start(std::function<void()> body);
    // Clears the run flag, calls cancel (ending a request in flight) while the thread still runs, waits at most
    // limitMs for the thread to end, then joins it. True when it ended within the limit (or none ran).
    bool Stop(uint32_t limitMs, const std::function<void()>& cancel = {});

    bool running() const { return runFlag.load() != 0; }
    bool exists() const { return thread.joinable(); }
    void clearRunFlag() { runFlag.store(0); }
    // Sleeps ms, or less when the run flag is cleared. False when the flag is clear afterwards.
    bool Sleep(uint32_t ms);

private:
    std::atomic<int32_t> runFlag { 0 };
    std::thread thread;
    std::mutex lock;
    std::condition_variable wake;
    bool finished = true; // guarded by lock
};
