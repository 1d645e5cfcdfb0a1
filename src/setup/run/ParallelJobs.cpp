#include "setup/run/ParallelJobs.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void RunParallel(int jobs, size_t count, const std::function<void(size_t)>& work)
{
    std::atomic<size_t> next { 0 };
    std::vector<std::thread> threads;
    const size_t n = std::min(static_cast<size_t>(std::max(jobs, 1)), count);
    for (size_t t = 0; t < n; ++t) {
        threads.emplace_back([&] {
            for (size_t i = next++; i < count; i = next++)
                work(i);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}
