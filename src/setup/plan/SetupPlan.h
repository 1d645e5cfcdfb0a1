#pragma once
// A plan for setting up recorders without the wizard: which recorders (by MAC, or every new one the search
// finds) and, for each, the administrator password, the zone, the disks to format, the cameras to add and the
// cloud account to bind. Read from a TOML file; every value keeps the line it was written on, so that a
// message can name the file, the line and the key.

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct PlanCamera
{
    std::string mac; // "AA:BB:CC:DD:EE:FF", upper case
    std::string password; // resolved (from the environment when the plan names a variable)
    std::string name; // the name the recorder shows; empty: the camera's model
    int line = 0;
};

struct PlanCloud
{
    std::string email;
    std::string password; // resolved
    bool signUp = false; // create the account before binding
    std::string firstName;
    std::string lastName;
    std::string portalHost; // a portal host outside the maker's domains the account may be sent to; empty: none
    int line = 0;
};

struct PlanRecorder
{
    std::string mac; // upper case; empty when everyNew
    bool everyNew = false; // "every new recorder found": the recorders that have no administrator password yet
    std::string password; // the administrator password: set on a new recorder, used on a secured one; resolved
    std::string zoneName; // the zone by the recorder's list name; empty when by number or not set
    int zoneNumber = 0; // the zone by the recorder's list number (1..); 0 when by name or not set
    enum class Disks { Keep, All, Listed } disks = Disks::Keep;
    std::vector<int> diskIds; // Listed: the storage ids to format
    std::vector<PlanCamera> cameras; // at most four
    std::optional<PlanCloud> cloud;
    int line = 0;
    int number = 0; // the table's place in the plan, from 1 ("recorder[2]" in messages)
    int zoneLine = 0; // the line of zone or zone_number; 0 when the plan sets no zone
};

struct PlanError
{
    std::string file;
    int line = 0; // 0: not tied to a line
    std::string key; // dotted path, e.g. "recorder[2].camera[1].password" (tables counted from 1)
    std::string message;
    // "FILE:LINE: KEY: MESSAGE" (the parts that are empty left out)
    std::string Text() const;
};

struct SetupPlan
{
    std::string file;
    std::vector<PlanRecorder> recorders;
};

struct PlanRead
{
    SetupPlan plan;
    std::vector<PlanError> errors; // empty when the plan can be used
    bool Ok() const { return errors.empty(); }
};

// Looks up an environment variable (nullopt when unset); tests pass their own.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;
EnvLookup ProcessEnvironment();

// Reads and checks a plan: TOML syntax, unknown keys, wrong types, MAC texts, passwords that break the
// recorder's rule, variables that are not set, zone given both ways, more than four cameras, a recorder or a
// camera named twice. Every error found is reported, not only the first.
PlanRead ReadPlanText(const std::string& text, const std::string& fileName, const EnvLookup& env);
PlanRead ReadPlanFile(const std::string& path, const EnvLookup& env);

// The plan's zone against the zone list a recorder answered (names in list order, zone n is name n - 1):
// the zone number to set, 0 when the plan sets no zone, or an error naming the file, line and key when the
// recorder does not list it.
struct ZoneChoice
{
    int zoneNumber = 0;
    std::optional<PlanError> error;
};
ZoneChoice ChooseZone(const SetupPlan& plan, const PlanRecorder& recorder, const std::vector<std::string>& zoneNames);
