#pragma once
// The companion's commands: each one a function over its own arguments, listed in one table that
// main() dispatches on. A new command adds its own source file and one line to the table.

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Exit codes shared by every command.
constexpr int kExitSuccess = 0;
constexpr int kExitRefused = 1; // refused, timed out, not found, or the network failed
constexpr int kExitUsage = 2;

struct CliCommand
{
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

const std::vector<CliCommand>& CliCommands();

int RunSearch(const std::vector<std::string>& args);
int RunLogin(const std::vector<std::string>& args);
int RunSetPassword(const std::vector<std::string>& args);
int RunGet(const std::vector<std::string>& args);
int RunSetup(const std::vector<std::string>& args);

// "--name value" options. Parse fails (message on stderr) on an unknown option, a missing value or a
// stray argument; "--help" is reported through `help`.
struct CliOptions
{
    std::map<std::string, std::string> values;
    bool help = false;

    static std::optional<CliOptions> Parse(
        const std::vector<std::string>& args, const std::vector<std::string>& known, const char* command);
    std::string Get(const std::string& name, const std::string& fallback = std::string()) const;
    bool Has(const std::string& name) const { return values.count(name) != 0; }
};

// A command's words in order: "--help" or "-h" (which ends the scan), flags, "--name value" options and plain
// arguments. Each flag (with an empty value) and each option reaches `take` as it comes, so a bad value fails
// where it stands. Fails (message on stderr) on an unknown option, a missing value, or when `take` refuses (it
// says why).
enum class ArgumentScan {
    Done,
    Help,
    Failed,
};
using OptionTaker = std::function<bool(const std::string& option, const std::string& value)>;
ArgumentScan ScanArguments(const std::vector<std::string>& args, const char* command,
    std::initializer_list<const char*> flags, std::initializer_list<const char*> valued, const OptionTaker& take,
    std::vector<std::string>& positional);
