#pragma once
// The thread of one setup step: its caller starts the work, polls whether it has ended (or binds a waiting box
// to the busy flag), and may stop it at any moment; the work pauses, opens its requests and waits for the request
// object's commands through here, so a stop reaches every wait and every request in flight at once.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class HttpGet;
class NvrClient;

enum class StepPhase { Idle, Running, Finished };

class StepWorker
{
public:
    // How often Run looks whether the work has ended: the waiting box's tick, as the pages look.
    static constexpr int kPollMs = 100;

    // client: the request object the work issues its commands through (cancelled on Stop), or none.
    explicit StepWorker(NvrClient* client);
    virtual ~StepWorker(); // Stop
    StepWorker(const StepWorker&) = delete;
    StepWorker& operator=(const StepWorker&) = delete;

    // Never blocks: Idle before the first start, Running until the work has ended, then Finished (the result
    // is then complete).
    StepPhase Poll() const;
    // 1 from the start until the work has ended; the result is written before it becomes 0.
    const std::atomic<int32_t>& Busy() const { return busy; }
    // Ends the work at once: clears the run flag, cancels the request in flight and joins the thread. The work
    // reports what it had finished by then; the rest counts as not done.
    void Stop();
    // Called on the step's thread as the work's last act, after Busy became 0 (the pages queue their result
    // handling from here). Set it before starting.
    void SetFinished(std::function<void()> callback) { finished = std::move(callback); }

protected:
    // Stops the work before (if any) and runs `work` on a new thread.
    void Begin(std::function<void()> work);
    // Polls every intervalMs until the work has ended; once *stop holds, or limitMs (when not 0) have passed,
    // stops it. Then joins the thread.
    void WaitEnd(const std::atomic<bool>* stop, int intervalMs = kPollMs, int limitMs = 0);

    // The work goes on while this holds.
    bool Running() const;
    // Sleeps ms, or less when stopped meanwhile. False once stopped. `what` names the wait on the wait timeline.
    bool Pause(int ms, const char* what);
    // Opens http for the work, so that Stop closes it; nothing opens once stopped. False when stopped or when the
    // connection could not be prepared. ForgetRequest before http goes.
    bool OpenRequest(HttpGet& http, const std::string& host, const std::string& user, const std::string& password,
        uint32_t timeoutMs, int secure, int port);
    void ForgetRequest();
    // Looks at the client's state every stepMs, at most `steps` times while it is Busy and the work runs; the
    // state at the end (still Busy when the looks ran out first).
    int32_t Settle(int stepMs, int steps, const char* what);

    NvrClient* const client;

private:
    std::atomic<int32_t> busy { 0 };
    std::atomic<bool> started { false };
    std::function<void()> finished;
    mutable std::mutex runLock; // guards run
    std::condition_variable runChanged;
    bool run = false;
    std::mutex requestLock; // guards request
    HttpGet* request = nullptr;
    std::thread thread;
};
