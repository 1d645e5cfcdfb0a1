#pragma once
// SimLink for test programs without Qt: the simulator's state file read as text, and its control pipe.

#include <string>
#include <vector>

class SimTextLink
{
public:
    struct Event
    {
        std::string device, kind, detail, result;
    };

    // From the lab's environment (LAB_SIM_STATE, LAB_DIR); Ready() is false outside a lab.
    SimTextLink();
    bool Ready() const { return !stateFile.empty() && !controlPipe.empty(); }

    // The state file as the simulator last wrote it (empty when unreadable).
    std::string State() const;
    // True once the state holds text, waiting at most limitMs for the simulator to write it.
    bool StateHolds(const std::string& text, int limitMs = 1000) const;
    // How many events the simulator has logged since it started (-1 when unreadable).
    long EventCount() const;
    // The latest events it keeps, oldest first.
    std::vector<Event> Events() const;
    // The text value of `"name": "..."` at or after `from` in a piece of the state (empty when absent).
    static std::string Field(const std::string& text, const std::string& name, size_t from = 0);

    // Sends a control line and waits (at most limitMs) until the simulator has logged it; true when it said "ok".
    bool Control(const std::string& line, int limitMs = 5000, std::string* answer = nullptr) const;

private:
    static long EventCountIn(const std::string& state);
    static std::vector<Event> EventsIn(const std::string& state);

    std::string stateFile;
    std::string controlPipe;
};
