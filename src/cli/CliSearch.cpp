#include "CliSearch.h"

#include <chrono>
#include <thread>

bool RunFullSearch(SearchDevice& search)
{
    if (search.Start() != SearchDevice::Searching) {
        return false;
    }
    while (search.state.load() == SearchDevice::Searching) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return search.state.load() == SearchDevice::SearchDone;
}
