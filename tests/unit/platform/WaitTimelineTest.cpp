#include "platform/WaitTimeline.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using WaitTimeline::Clock;

// Overlapping waits count once, and only the part inside the measured span counts.
TEST(WaitTimeline, CoveredTimeMergesOverlapsAndClipsToTheSpan)
{
    const Clock::time_point t0 = Clock::now();
    auto at = [t0](int ms) { return t0 + milliseconds(ms); };
    const std::vector<WaitTimeline::Wait> waits {
        { at(0), 100, "a" }, // 0-100
        { at(50), 100, "b" }, // 50-150, overlaps a
        { at(140), 10, "c" }, // inside b
        { at(300), 200, "d" }, // 300-500, cut at 400
        { at(-50), 80, "e" }, // starts before the span: 0-30 counts, already covered by a
    };
    EXPECT_EQ(WaitTimeline::Covered(waits, at(0), at(400)), milliseconds(250));
    EXPECT_EQ(WaitTimeline::Covered(waits, at(160), at(290)), milliseconds(0));
    EXPECT_EQ(WaitTimeline::Covered({}, at(0), at(400)), milliseconds(0));
}

// Nothing is noted while the timeline is off; Take empties it.
TEST(WaitTimeline, NotesOnlyWhileOn)
{
    WaitTimeline::Note("off", 10);
    WaitTimeline::Enable(true);
    WaitTimeline::Note("on", 20);
    WaitTimeline::Enable(false);
    WaitTimeline::Note("off again", 30);
    const std::vector<WaitTimeline::Wait> taken = WaitTimeline::Take();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_STREQ(taken[0].what, "on");
    EXPECT_EQ(taken[0].ms, 20u);
    EXPECT_TRUE(WaitTimeline::Take().empty());
}
