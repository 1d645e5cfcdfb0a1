#pragma once
// The fault switches of one simulated device: a list of named faults, each with an optional number, an
// optional scope (a UDP command kind such as "search", or an HTTP path prefix such as "/config/") and, for
// faults switched on while the simulator runs, an optional count of the requests it still applies to.

#include <optional>
#include <string>
#include <vector>

struct Fault
{
    std::string name;
    long value = 0; // the number after ":", 0 when none was given
    bool hasValue = false;
    std::string scope; // the text after "@", empty = everything
    long count = -1; // the number after "*": requests it still applies to; -1 = all
};

class FaultSet
{
public:
    // Parses "name[:value][*count][@scope],..." and appends; false (with a reason) on a malformed item, an
    // unknown fault name, or a count where counts are not allowed.
    bool add(const std::string& text, std::string& error, bool allowCount = false);
    void add(const Fault& fault) { faults.push_back(fault); }
    void append(const Fault& fault) { faults.push_back(fault); }

    // The HTTP faults whose scope matches subject, for one request. With `use` the request uses them up: a
    // counted fault's count goes down, and it goes at 0.
    FaultSet forRequest(const std::string& subject, bool use);
    void clear() { faults.clear(); }

    // The first fault with this name whose scope is empty or matches: for UDP faults the scope is
    // compared exactly with the command kind, for HTTP faults it is a prefix of the path.
    std::optional<Fault> find(const std::string& name, const std::string& subject = {}) const;
    bool has(const std::string& name, const std::string& subject = {}) const { return find(name, subject).has_value(); }

    const std::vector<Fault>& all() const { return faults; }
    // Adds the faults of other after these.
    void append(const FaultSet& other);
    static bool isKnown(const std::string& name);

private:
    std::vector<Fault> faults;
};
