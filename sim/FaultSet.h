#pragma once
// The fault switches of one simulated device: a list of named faults, each with an optional number and an
// optional scope (a UDP command kind such as "search", or an HTTP path prefix such as "/config/").

#include <optional>
#include <string>
#include <vector>

struct Fault
{
    std::string name;
    long value = 0; // the number after ":", 0 when none was given
    bool hasValue = false;
    std::string scope; // the text after "@", empty = everything
};

class FaultSet
{
public:
    // Parses "name[:value][@scope],..." and appends; false (with a reason) on a malformed item or an
    // unknown fault name.
    bool add(const std::string& text, std::string& error);

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
