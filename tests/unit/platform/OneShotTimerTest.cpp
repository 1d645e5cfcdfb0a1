#include "platform/OneShotTimer.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 3000ms)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

} // namespace

TEST(OneShotTimer, firesOnceAfterItsDelayOnAnotherThread)
{
    OneShotTimer timer;
    std::atomic<int> calls { 0 };
    std::atomic<bool> otherThread { false };
    const auto caller = std::this_thread::get_id();
    const auto start = std::chrono::steady_clock::now();
    std::atomic<int64_t> firedAfterMs { -1 };
    ASSERT_TRUE(timer.Start(200ms, false, [&] {
        firedAfterMs
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        otherThread = std::this_thread::get_id() != caller;
        ++calls;
    }));
    EXPECT_TRUE(timer.Pending());
    ASSERT_TRUE(waitFor([&] { return calls.load() == 1; }));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_GE(firedAfterMs.load(), 195);
    EXPECT_TRUE(otherThread.load());
    EXPECT_FALSE(timer.Pending());
}

TEST(OneShotTimer, cancelledOrRestartedRunNeverFires)
{
    OneShotTimer timer;
    std::atomic<int> first { 0 };
    std::atomic<int> second { 0 };
    timer.Start(150ms, false, [&] { ++first; });
    timer.Cancel();
    EXPECT_FALSE(timer.Pending());
    timer.Start(150ms, false, [&] { ++first; });
    timer.Start(150ms, false, [&] { ++second; }); // replaces the pending run
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(first.load(), 0);
    EXPECT_EQ(second.load(), 1);
}

TEST(OneShotTimer, periodicRunStopsWhenItsHandlerCancelsIt)
{
    OneShotTimer timer;
    std::atomic<int> calls { 0 };
    std::atomic<bool> pendingInside { true };
    std::atomic<bool> restartRefused { false };
    timer.Start(30ms, true, [&] {
        if (++calls == 3) {
            // Cancelling its own timer must neither join itself nor deadlock; it only marks the run.
            timer.Cancel();
            pendingInside = timer.Pending();
            restartRefused = !timer.Start(10ms, false, [] {});
        }
    });
    ASSERT_TRUE(waitFor([&] { return calls.load() >= 3; }));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls.load(), 3);
    EXPECT_FALSE(pendingInside.load());
    EXPECT_TRUE(restartRefused.load());
    EXPECT_FALSE(timer.Pending());
}

TEST(OneShotTimer, cancelFromAnotherThreadWaitsForTheRunningHandler)
{
    std::atomic<bool> entered { false };
    std::atomic<bool> finished { false };
    {
        OneShotTimer timer;
        timer.Start(10ms, false, [&] {
            entered = true;
            std::this_thread::sleep_for(300ms);
            finished = true;
        });
        ASSERT_TRUE(waitFor([&] { return entered.load(); }));
        timer.Cancel();
        EXPECT_TRUE(finished.load());
    }
    // The destructor cancels a pending run too.
    std::atomic<int> calls { 0 };
    {
        OneShotTimer timer;
        timer.Start(100ms, false, [&] { ++calls; });
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls.load(), 0);
}
