#include "session/ServiceThread.h"

ServiceThread::~ServiceThread()
{
    Stop(3000);
}

void ServiceThread::Start(std::function<void()> body)
{
    if (thread.joinable())
        Stop(3000);
    {
        std::lock_guard<std::mutex> guard(lock);
        finished = false;
    }
    runFlag.store(1);
    thread = std::thread([this, body = std::move(body)] {
        body();
        runFlag.store(0);
        std::lock_guard<std::mutex> guard(lock);
        finished = true;
        wake.notify_all();
    });
}

bool ServiceThread::Stop(uint32_t limitMs, const std::function<void()>& cancel)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        runFlag.store(0);
        wake.notify_all();
    }
    if (!thread.joinable())
        return true;
    bool ended;
    {
        std::unique_lock<std::mutex> guard(lock);
        ended = finished;
    }
    if (!ended && cancel)
        cancel();
    {
        std::unique_lock<std::mutex> guard(lock);
        ended = wake.wait_for(guard, std::chrono::milliseconds(limitMs), [this] { return finished; });
    }
    // The thread only ever waits on things that the stop has ended; joining it is short even past the limit,
    // and nothing it uses goes away before it has ended.
    thread.join();
    return ended;
}

bool ServiceThread::Sleep(uint32_t ms)
{
    std::unique_lock<std::mutex> guard(lock);
    wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return runFlag.load() == 0; });
    return runFlag.load() != 0;
}
