#pragma once
// A loopback lighttpd whose mod_auth asks every path for Digest credentials: a second server we did not
// write. Serves the given files; every request it received can be read back from its log.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct LighttpdRequest
{
    std::string method;
    std::string url;
    std::string authorization; // empty when the request carried none
};

class LighttpdServer
{
public:
    static constexpr const char* kBinary = "/usr/sbin/lighttpd";

    // False when lighttpd is not installed (tests skip then).
    static bool Available();

    // `accounts`: user -> password, all in `realm`. `files`: URL path -> content. `Started()` tells
    // whether it runs; `Failure()` why not.
    LighttpdServer(const std::string& realm, const std::map<std::string, std::string>& accounts,
        const std::map<std::string, std::string>& files);
    ~LighttpdServer();
    LighttpdServer(const LighttpdServer&) = delete;
    LighttpdServer& operator=(const LighttpdServer&) = delete;

    bool Started() const { return started; }
    const std::string& Failure() const { return failure; }
    uint16_t port() const { return listenPort; }

    // The requests received so far, in order (read from lighttpd's request log, which it writes at once).
    std::vector<LighttpdRequest> requests() const;

private:
    std::filesystem::path dir;
    uint16_t listenPort = 0;
    pid_t pid = -1;
    bool started = false;
    std::string failure;
};
