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
