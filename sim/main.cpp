// hxt914q-sim: plays recorders, IP cameras and the cloud portal for the lab. Reads a scenario, opens
// every socket, touches the ready file, and runs until SIGTERM; SIGUSR1 rewrites the state file.
#include "Scenario.h"
#include "SimState.h"
#include "UdpResponder.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void usage()
{
    std::fputs("usage: hxt914q-sim [--scenario FILE]... [--line TEXT]... [--fault NAME=FAULTS]...\n"
               "                   [--lab-dir DIR] [--ready-file FILE] [--state-file FILE]\n"
               "Scenario format and fault names: sim/README.md.\n",
               stderr);
}

bool touch(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Scenario scenario;
    std::string labDir;
    std::string readyFile;
    std::string stateFile;
    std::vector<std::string> faultOptions;
    std::string error;

    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "hxt914q-sim: %s needs a value\n", option.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (option == "--scenario") {
            if (!scenario.load(next(), error)) {
                std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
                return 2;
            }
        } else if (option == "--line") {
            if (!scenario.parseLine(next(), error)) {
                std::fprintf(stderr, "hxt914q-sim: --line: %s\n", error.c_str());
                return 2;
            }
        } else if (option == "--fault") {
            faultOptions.push_back(next());
        } else if (option == "--lab-dir") {
            labDir = next();
        } else if (option == "--ready-file") {
            readyFile = next();
        } else if (option == "--state-file") {
            stateFile = next();
        } else if (option == "--help" || option == "-h") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "hxt914q-sim: unknown option %s\n", option.c_str());
            usage();
            return 2;
        }
    }
    for (const auto& spec : faultOptions) {
        if (!scenario.addFaults(spec, error)) {
            std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
            return 2;
        }
    }
    if (!scenario.finish(error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        return 2;
    }

    // Signals are taken by sigwait below; every thread started later inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGUSR1);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimState state(scenario);
    state.setStateFile(stateFile);

    UdpResponder udp(state);
    if (!udp.start(error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        return 1;
    }

    state.save();
    if (!readyFile.empty() && !touch(readyFile)) {
        std::fprintf(stderr, "hxt914q-sim: cannot write %s\n", readyFile.c_str());
        return 1;
    }
    std::fprintf(stderr, "hxt914q-sim: ready: %zu recorder(s), %zu camera(s)%s\n", scenario.recorders.size(),
                 scenario.cameras.size(), scenario.portal.enabled ? ", portal" : "");

    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0) {
            continue;
        }
        if (signal == SIGUSR1 || signal == SIGHUP) {
            state.save();
            continue;
        }
        break;
    }
    udp.stop();
    state.save();
    return 0;
}
