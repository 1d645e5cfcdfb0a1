// hxt914q-cli: the wizard's recorder operations from a shell, for trials and scripts.
#include "CliCommand.h"
#include "platform/ProcessConsole.h"

#include <cstdio>
#include <cstring>

const std::vector<CliCommand>& CliCommands()
{
    static const std::vector<CliCommand> commands = {
        { "search", "list the recorders that answer the broadcast search", &RunSearch },
        { "login", "send the login datagram to one recorder", &RunLogin },
        { "set-password", "set a recorder's administrator password", &RunSetPassword },
        { "get", "read one path from a recorder or camera over HTTP or HTTPS", &RunGet },
        { "setup", "set up the recorders a plan file names", &RunSetup },
    };
    return commands;
}

namespace {

void printUsage(FILE* out)
{
    std::fputs("usage: hxt914q-cli COMMAND [OPTIONS]   (hxt914q-cli COMMAND --help for its options)\n", out);
    for (const auto& command : CliCommands()) {
        std::fprintf(out, "  %-14s %s\n", command.name, command.summary);
    }
}

} // namespace

int main(int argc, char** argv)
{
    UseUtf8Console();
    if (argc < 2) {
        printUsage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(stdout);
        return kExitSuccess;
    }
    for (const auto& command : CliCommands()) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "hxt914q-cli: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return kExitUsage;
}
