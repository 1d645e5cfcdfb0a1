#pragma once
// The run's timeline of the waits the wizard sits through by design: fixed sleeps, timer periods, poll
// intervals, the search window. Off unless switched on; the scenario benchmark (bench/scenario) switches it on,
// walks a scenario and compares the run's wall-clock time with the time these waits cover. Noting a wait
// when the timeline is off costs one atomic load.

#include <chrono>
#include <cstdint>
#include <vector>

namespace WaitTimeline {

using Clock = std::chrono::steady_clock;

struct Wait
{
    Clock::time_point start;
    uint32_t ms = 0;
    const char* what = ""; // a string literal naming the wait
};

void Enable(bool on);
bool Enabled();

// A wait of `ms` milliseconds that starts now.
void Note(const char* what, uint32_t ms);

// Every wait noted since the timeline was switched on, in the order noted; empties the timeline.
std::vector<Wait> Take();

// The time within [from, to] that at least one of the waits covers (overlapping waits count once).
std::chrono::milliseconds Covered(const std::vector<Wait>& waits, Clock::time_point from, Clock::time_point to);

} // namespace WaitTimeline
