#include "CliCommand.h"

#include <algorithm>
#include <cstdio>

std::optional<CliOptions> CliOptions::Parse(
    const std::vector<std::string>& args, const std::vector<std::string>& known, const char* command)
{
    CliOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0 || std::find(known.begin(), known.end(), arg.substr(2)) == known.end()) {
            std::fprintf(stderr, "hxt914q-cli %s: unknown argument '%s' (see --help)\n", command, arg.c_str());
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            std::fprintf(stderr, "hxt914q-cli %s: %s needs a value\n", command, arg.c_str());
            return std::nullopt;
        }
        options.values[arg.substr(2)] = args[++i];
    }
    return options;
}

std::string CliOptions::Get(const std::string& name, const std::string& fallback) const
{
    const auto found = values.find(name);
    return found == values.end() ? fallback : found->second;
}

ArgumentScan ScanArguments(const std::vector<std::string>& args, const char* command,
    std::initializer_list<const char*> flags, std::initializer_list<const char*> valued, const OptionTaker& take,
    std::vector<std::string>& positional)
{
    const auto among = [](std::initializer_list<const char*> names, const std::string& arg) {
        return std::any_of(names.begin(), names.end(), [&arg](const char* name) { return arg == name; });
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            return ArgumentScan::Help;
        if (among(flags, arg)) {
            if (!take(arg, std::string()))
                return ArgumentScan::Failed;
        } else if (among(valued, arg)) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "hxt914q-cli %s: %s needs a value\n", command, arg.c_str());
                return ArgumentScan::Failed;
            }
            if (!take(arg, args[++i]))
                return ArgumentScan::Failed;
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "hxt914q-cli %s: unknown option '%s'\n", command, arg.c_str());
            return ArgumentScan::Failed;
        } else {
            positional.push_back(arg);
        }
    }
    return ArgumentScan::Done;
}
