#pragma once
// Several recorders set up side by side: a fixed number of threads take the next piece of work until none is left.

#include <cstddef>
#include <functional>

// Runs work(i) for every i in [0, count) on up to `jobs` threads; returns when all are done.
void RunParallel(int jobs, size_t count, const std::function<void(size_t)>& work);
