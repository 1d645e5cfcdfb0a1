#include "SimTextLink.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

SimTextLink::SimTextLink()
    : stateFile(Env("LAB_SIM_STATE"))
{
    const std::string dir = Env("LAB_DIR");
    if (!dir.empty())
        controlPipe = dir + "/sim-control";
}

std::string SimTextLink::State() const
{
    std::ifstream in(stateFile);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool SimTextLink::StateHolds(const std::string& text, int limitMs) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (true) {
        if (State().find(text) != std::string::npos)
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

long SimTextLink::EventCount() const
{
    return EventCountIn(State());
}

long SimTextLink::EventCountIn(const std::string& state)
{
    const std::string key = "\"eventCount\": ";
    const size_t at = state.find(key);
    return at == std::string::npos ? -1 : std::atol(state.c_str() + at + key.size());
}

std::string SimTextLink::Field(const std::string& text, const std::string& name, size_t from)
{
    const size_t key = text.find("\"" + name + "\":", from);
    if (key == std::string::npos)
        return {};
    const size_t open = text.find('"', key + name.size() + 3);
    std::string value;
    for (size_t i = open + 1; open != std::string::npos && i < text.size() && text[i] != '"'; ++i)
        value += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    return value;
}

std::vector<SimTextLink::Event> SimTextLink::Events() const
{
    return EventsIn(State());
}

std::vector<SimTextLink::Event> SimTextLink::EventsIn(const std::string& state)
{
    std::vector<Event> events;
    const size_t list = state.find("\"events\":");
    for (size_t at = state.find("\"ms\":", list); list != std::string::npos && at != std::string::npos;) {
        const size_t next = state.find("\"ms\":", at + 1);
        const std::string piece = state.substr(at, next == std::string::npos ? std::string::npos : next - at);
        events.push_back({ Field(piece, "device"), Field(piece, "kind"), Field(piece, "detail"), Field(piece, "result") });
        at = next;
    }
    return events;
}

bool SimTextLink::Control(const std::string& line, int limitMs, std::string* answer) const
{
    if (!Ready())
        return false;
    // Without blocking on a reader that is not there (the simulator gone): the write then fails.
    const int fd = ::open(controlPipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Only an entry logged after this write answers it: event i of the n kept is number count - n + i of all.
    const long before = EventCount();
    const std::string text = line + '\n';
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written)
        return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        const std::string state = State();
        const std::vector<Event> events = EventsIn(state);
        const long first = EventCountIn(state) - static_cast<long>(events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            if (first + static_cast<long>(i) >= before && e.kind == "control" && e.detail == line) {
                if (answer != nullptr)
                    *answer = e.result;
                return e.result == "ok";
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (answer != nullptr)
        *answer = "no answer within " + std::to_string(limitMs) + " ms";
    return false;
}
