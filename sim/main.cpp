// hxt914q-sim: plays recorders, IP cameras and the cloud portal for the lab. Reads a scenario, opens
// every socket, touches the ready file, and runs until SIGTERM; SIGUSR1 rewrites the state file.
#include "CameraHttp.h"
#include "ControlChannel.h"
#include "HttpServer.h"
#include "LabCertificates.h"
#include "LabGuard.h"
#include "PortalHttp.h"
#include "RecorderHttp.h"
#include "Scenario.h"
#include "SimState.h"
#include "UdpResponder.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void usage()
{
    std::fputs("usage: hxt914q-sim [--scenario FILE]... [--line TEXT]... [--fault NAME=FAULTS]...\n"
               "                   [--lab-dir DIR] [--ready-file FILE] [--state-file FILE] [--outside-lab]\n"
               "Runs only in a network namespace of its own (scripts/lab makes one); --outside-lab runs it in the\n"
               "machine's own, where it answers every search on the network. Started as root by sudo, it runs as the\n"
               "user who called sudo once its ports are open. Its files (state, control pipe) are the owner's only.\n"
               "Scenario format and fault names: sim/README.md.\n",
        stderr);
}

bool touch(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// Every HTTP and HTTPS listener with the device objects that answer it.
struct HttpDevices
{
    std::vector<std::unique_ptr<RecorderHttp>> recorders;
    std::vector<std::unique_ptr<CameraHttp>> cameras;
    std::unique_ptr<PortalHttp> portal;
    std::vector<std::unique_ptr<HttpServer>> servers;
    // The portal's listener with the lab's certificate, and one with a certificate no trusted authority signed:
    // one of them listens at a time.
    HttpServer* trustedPortal = nullptr;
    std::unique_ptr<HttpServer> untrustedPortal;
    std::mutex portalSwitch;
    bool portalUntrusted = false;

    bool start(SimState& state, const Scenario& scenario, const std::string& labDir, std::string& error)
    {
        LabCertificates certificates;
        if (scenario.portal.enabled) {
            if (!certificates.createAuthority(error)) {
                return false;
            }
            if (!labDir.empty() && !certificates.writeAuthority(labDir, error)) {
                return false;
            }
        }
        for (const auto& r : scenario.recorders) {
            recorders.push_back(std::make_unique<RecorderHttp>(state, r.name));
            RecorderHttp* device = recorders.back().get();
            HttpServer::Config config;
            config.device = r.name;
            config.ip = r.ip;
            config.port = r.webPort;
            config.faults = r.faults;
            config.realm = r.realm;
            auto handler = [device](const HttpRequest& request) { return device->handle(request); };
            servers.push_back(std::make_unique<HttpServer>(state, config, handler));
            ServerCertificate certificate;
            if (!certificates.selfSigned(Scenario::ipText(r.ip), r.ip, certificate, error)
                || (!labDir.empty() && !LabCertificates::writeServer(labDir, r.name, certificate, error))) {
                return false;
            }
            config.port = r.httpsPort;
            config.tls = true;
            config.keyPem = certificate.keyPem;
            config.certPem = certificate.certPem;
            servers.push_back(std::make_unique<HttpServer>(state, config, handler));
        }
        for (const auto& c : scenario.cameras) {
            cameras.push_back(std::make_unique<CameraHttp>(state, c.name));
            CameraHttp* device = cameras.back().get();
            HttpServer::Config config;
            config.device = c.name;
            config.ip = c.ip;
            config.port = c.port;
            config.faults = c.faults;
            config.realm = c.realm;
            config.challenge = CameraHttp::challengeFor(c.auth);
            config.noKeysBody = "OK\r\n";
            servers.push_back(std::make_unique<HttpServer>(
                state, config, [device](const HttpRequest& request) { return device->handle(request); }));
        }
        if (scenario.portal.enabled) {
            portal = std::make_unique<PortalHttp>(state);
            PortalHttp* device = portal.get();
            ServerCertificate certificate;
            std::string host;
            state.read([&](const SimState& s) { host = s.portalHost; });
            if (!certificates.issue(host, scenario.portal.ip, certificate, error)
                || (!labDir.empty() && !LabCertificates::writeServer(labDir, "portal", certificate, error))) {
                return false;
            }
            HttpServer::Config config;
            config.device = "portal";
            config.ip = scenario.portal.ip;
            config.port = 443;
            config.tls = true;
            config.keyPem = certificate.keyPem;
            config.certPem = certificate.certPem;
            config.faults = scenario.portal.faults;
            config.challenge = HttpReply::Challenge::Basic;
            config.realm = "Quelmo";
            config.noKeysBody = "<html><body>Request received.</body></html>\r\n";
            servers.push_back(std::make_unique<HttpServer>(
                state, config, [device](const HttpRequest& request) { return device->handle(request); }));
            trustedPortal = servers.back().get();
            ServerCertificate stranger;
            if (!certificates.selfSigned(host, scenario.portal.ip, stranger, error)) {
                return false;
            }
            config.keyPem = stranger.keyPem;
            config.certPem = stranger.certPem;
            untrustedPortal = std::make_unique<HttpServer>(
                state, config, [device](const HttpRequest& request) { return device->handle(request); });
        }
        for (auto& server : servers) {
            if (!server->start(error)) {
                return false;
            }
        }
        return true;
    }

    // The portal presents the untrusted certificate (or the lab's again) from its next connection on.
    std::string switchPortal(bool untrusted)
    {
        std::lock_guard<std::mutex> guard(portalSwitch);
        if (trustedPortal == nullptr || !untrustedPortal) {
            return "error: no portal";
        }
        if (untrusted == portalUntrusted) {
            return "ok";
        }
        HttpServer* from = untrusted ? trustedPortal : untrustedPortal.get();
        HttpServer* to = untrusted ? untrustedPortal.get() : trustedPortal;
        from->stop();
        std::string error;
        if (!to->start(error)) {
            from->start(error);
            return "error: " + error;
        }
        portalUntrusted = untrusted;
        return "ok";
    }

    void stop()
    {
        HttpServer::stopping = true;
        {
            std::lock_guard<std::mutex> guard(portalSwitch);
            if (untrustedPortal) {
                untrustedPortal->stop();
            }
        }
        for (auto& server : servers) {
            server->stop();
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    Scenario scenario;
    std::string labDir;
    std::string readyFile;
    std::string stateFile;
    std::vector<std::string> faultOptions;
    std::string error;
    bool outsideLab = false;
    // Every file the simulator makes is its owner's only: the state holds every password in clear, and the
    // control pipe changes any of it.
    ::umask(077);

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
        } else if (option == "--outside-lab") {
            outsideLab = true;
        } else if (option == "--help" || option == "-h") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "hxt914q-sim: unknown option %s\n", option.c_str());
            usage();
            return 2;
        }
    }
    for (const auto& setup : faultOptions) {
        if (!scenario.addFaults(setup, error)) {
            std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
            return 2;
        }
    }
    if (!scenario.finish(error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        return 2;
    }
    if (std::string why; !outsideLab && !InSeparateNetworkNamespace(why)) {
        std::fprintf(stderr,
            "hxt914q-sim: refusing to start: %s. Run it in the lab (scripts/lab run --sim ...), or pass "
            "--outside-lab to answer on this machine's network.\n",
            why.c_str());
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
    state.portalHost = scenario.portal.host;
    if (state.portalHost.empty()) {
        const char* labHost = std::getenv("LAB_PORTAL_HOST");
        state.portalHost = labHost != nullptr && *labHost != '\0' ? labHost : "cloud.quelmo.lab";
    }

    UdpResponder udp(state);
    if (!udp.start(error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        return 1;
    }

    HttpDevices http;
    if (!http.start(state, scenario, labDir, error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        http.stop();
        udp.stop();
        return 1;
    }

    // The ports are open: nothing more needs root.
    bool dropped = false;
    if (!DropToCallingUser(dropped, error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        http.stop();
        udp.stop();
        return 1;
    }

    ControlChannel control(state);
    control.portalCertificate = [&http](bool untrusted) { return http.switchPortal(untrusted); };
    if (!labDir.empty() && !control.start(labDir + "/sim-control", error)) {
        std::fprintf(stderr, "hxt914q-sim: %s\n", error.c_str());
        http.stop();
        udp.stop();
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
    control.stop();
    http.stop();
    udp.stop();
    state.save();
    return 0;
}
