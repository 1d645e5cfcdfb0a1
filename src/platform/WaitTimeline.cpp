#include "WaitTimeline.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace WaitTimeline {
namespace {

std::atomic<bool> enabled { false };
std::mutex lock;
std::vector<Wait> waits;

} // namespace

void Enable(bool on)
{
    enabled.store(on);
}

bool Enabled()
{
    return enabled.load(std::memory_order_relaxed);
}

void Note(const char* what, uint32_t ms)
{
    if (!Enabled() || ms == 0)
        return;
    const Wait wait { Clock::now(), ms, what };
    const std::lock_guard<std::mutex> guard(lock);
    waits.push_back(wait);
}

std::vector<Wait> Take()
{
    const std::lock_guard<std::mutex> guard(lock);
    std::vector<Wait> taken;
    taken.swap(waits);
    return taken;
}

std::chrono::milliseconds Covered(const std::vector<Wait>& noted, Clock::time_point from, Clock::time_point to)
{
    using Span = std::pair<Clock::time_point, Clock::time_point>;
    std::vector<Span> spans;
    for (const Wait& wait : noted) {
        const Clock::time_point begin = std::max(wait.start, from);
        const Clock::time_point end = std::min(wait.start + std::chrono::milliseconds(wait.ms), to);
        if (begin < end)
            spans.emplace_back(begin, end);
    }
    std::sort(spans.begin(), spans.end());
    Clock::duration covered {};
    Clock::time_point reached = from;
    for (const Span& span : spans) {
        const Clock::time_point begin = std::max(span.first, reached);
        if (span.second > begin) {
            covered += span.second - begin;
            reached = span.second;
        }
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(covered);
}

} // namespace WaitTimeline
