// How a caller drives a step: Poll never blocks and tells Running, then Finished; Stop ends a step that waits at
// once; Run-style waiting ends the work when the caller's stop flag rises or its limit passes.
#include "setup/steps/StepWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A step whose work waits `ms` (interruptibly) and records whether it got to its end.
class WaitingStep : public StepWorker
{
public:
    WaitingStep()
        : StepWorker(nullptr)
    {
    }
    ~WaitingStep() override { Stop(); }

    void Start(int ms)
    {
        Begin([this, ms] { completed = Pause(ms, "test wait"); });
    }
    void RunUntil(const std::atomic<bool>* stop, int limitMs) { WaitEnd(stop, 10, limitMs); }

    std::atomic<bool> completed { false };
};

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

TEST(StepWorker, pollTellsRunningUntilTheWorkEndsThenFinished)
{
    WaitingStep step;
    EXPECT_EQ(step.Poll(), StepPhase::Idle);
    step.Start(150);
    EXPECT_EQ(step.Poll(), StepPhase::Running);
    EXPECT_EQ(step.Busy().load(), 1);
    const auto start = Clock::now();
    while (step.Poll() == StepPhase::Running && MsSince(start) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(step.Poll(), StepPhase::Finished);
    EXPECT_EQ(step.Busy().load(), 0);
    EXPECT_TRUE(step.completed.load());
}

TEST(StepWorker, stopEndsAWaitingStepAtOnceAndItReportsNotDone)
{
    WaitingStep step;
    step.Start(10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto start = Clock::now();
    step.Stop();
    EXPECT_LT(MsSince(start), 500);
    EXPECT_EQ(step.Poll(), StepPhase::Finished);
    EXPECT_FALSE(step.completed.load());
}

TEST(StepWorker, waitingForTheEndHonoursTheStopFlagAndTheLimit)
{
    {
        WaitingStep step;
        std::atomic<bool> stop { false };
        step.Start(10000);
        std::thread raiser([&stop] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            stop.store(true);
        });
        const auto start = Clock::now();
        step.RunUntil(&stop, 0);
        raiser.join();
        EXPECT_LT(MsSince(start), 1000);
        EXPECT_FALSE(step.completed.load());
    }
    {
        WaitingStep step;
        step.Start(10000);
        const auto start = Clock::now();
        step.RunUntil(nullptr, 200);
        const long long took = MsSince(start);
        EXPECT_GE(took, 190);
        EXPECT_LT(took, 1500);
        EXPECT_FALSE(step.completed.load());
    }
}

TEST(StepWorker, theFinishedCallbackComesAfterBusyFellAndAStartAfterwardsRunsAgain)
{
    WaitingStep step;
    std::atomic<int> busyInCallback { -1 };
    step.SetFinished([&step, &busyInCallback] { busyInCallback.store(step.Busy().load()); });
    step.Start(10);
    step.RunUntil(nullptr, 0);
    EXPECT_EQ(busyInCallback.load(), 0);
    step.completed.store(false);
    step.Start(10);
    step.RunUntil(nullptr, 0);
    EXPECT_TRUE(step.completed.load());
}
