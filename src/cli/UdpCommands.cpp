// hxt914q-cli login and set-password: the recorder's datagram commands, sent through the interface on
// which the recorder answered the search.
#include "CliCommand.h"
#include "CliSearch.h"

#include "device/NvrClient.h"
#include "discovery/AddressText.h"
#include "discovery/DatagramHeader.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

const char* const kLoginUsage
    = "usage: hxt914q-cli login --ip IP --mac MAC [--user U] [--password P]\n"
      "Searches, then sends the login datagram to the recorder with this IPv4 and MAC (user \"admin\" and an\n"
      "empty password unless given) and prints \"state Done|TimedOut|Failed\" and \"login-result N\".\n"
      "Exit 0 when the recorder accepted the login (Done, result 1), 1 otherwise, 2 on bad usage.\n";

const char* const kSetPasswordUsage
    = "usage: hxt914q-cli set-password --ip IP --mac MAC [--user U] [--password CURRENT] --new-password NEW\n"
      "Searches, then sends the set-password datagram to the recorder with this IPv4 and MAC and prints\n"
      "\"state Done|TimedOut|Failed\". Exit 0 on Done, 1 otherwise, 2 on bad usage.\n";

const char* stateName(int32_t state)
{
    switch (state) {
    case NvrClient::Idle:
        return "Idle";
    case NvrClient::Busy:
        return "Busy";
    case NvrClient::Done:
        return "Done";
    case NvrClient::TimedOut:
        return "TimedOut";
    case NvrClient::Failed:
        return "Failed";
    default:
        return "Unknown";
    }
}

struct Target
{
    std::array<uint8_t, 4> ip {};
    std::array<uint8_t, 6> mac {};
};

// Reads --ip and --mac; prints the usage problem and returns nothing when they are missing or malformed.
std::optional<Target> readTarget(const CliOptions& options, const char* command)
{
    Target target;
    if (!options.Has("ip") || !options.Has("mac")) {
        std::fprintf(stderr, "hxt914q-cli %s: --ip and --mac are required\n", command);
        return std::nullopt;
    }
    // What a person types is read strictly: a malformed address is refused, never sent to another device.
    const auto ip = ParseIpv4Strict(options.Get("ip"));
    if (!ip) {
        std::fprintf(stderr, "hxt914q-cli %s: --ip needs a dotted IPv4 address\n", command);
        return std::nullopt;
    }
    const auto mac = ParseMacStrict(options.Get("mac"));
    if (!mac) {
        std::fprintf(stderr, "hxt914q-cli %s: --mac needs six ':'-separated hexadecimal bytes\n", command);
        return std::nullopt;
    }
    target.ip = *ip;
    target.mac = *mac;
    return target;
}

// Searches and opens the channel on the interface through which the recorder answered.
bool openChannel(NvrClient& client, const std::string& ipText, const char* command)
{
    SearchDevice search;
    if (!RunFullSearch(search)) {
        std::fprintf(stderr, "hxt914q-cli %s: the search request could not be sent\n", command);
        return false;
    }
    const int32_t interfaceIndex = search.InterfaceForIp(ipText);
    if (interfaceIndex < 0) {
        std::fprintf(stderr, "hxt914q-cli %s: no recorder at %s answered the search\n", command, ipText.c_str());
        return false;
    }
    if (!client.OpenUdp(search.LocalAddress(interfaceIndex))) {
        std::fprintf(stderr, "hxt914q-cli %s: cannot open the command channel\n", command);
        return false;
    }
    return true;
}

int32_t waitWhileBusy(const NvrClient& client)
{
    // The reply timer ends every command after 3000 ms; the limit here only guards against a fault.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (client.State() == NvrClient::Busy && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return client.State();
}

} // namespace

int RunLogin(const std::vector<std::string>& args)
{
    const auto options = CliOptions::Parse(args, { "ip", "mac", "user", "password" }, "login");
    if (options && options->help) {
        std::fputs(kLoginUsage, stdout);
        return kExitSuccess;
    }
    const auto target = options ? readTarget(*options, "login") : std::nullopt;
    if (!target) {
        std::fputs(kLoginUsage, stderr);
        return kExitUsage;
    }
    NvrClient client;
    if (!openChannel(client, options->Get("ip"), "login")) {
        return kExitRefused;
    }
    if (!client.SendLogin(
            target->ip, target->mac, kRecorderPort, options->Get("user", "admin"), options->Get("password"))) {
        std::fprintf(stderr, "hxt914q-cli login: the login datagram could not be sent\n");
        return kExitRefused;
    }
    const int32_t state = waitWhileBusy(client);
    std::printf("state %s\nlogin-result %d\n", stateName(state), client.LoginResult());
    return state == NvrClient::Done && client.LoginResult() == 1 ? kExitSuccess : kExitRefused;
}

int RunSetPassword(const std::vector<std::string>& args)
{
    const auto options = CliOptions::Parse(args, { "ip", "mac", "user", "password", "new-password" }, "set-password");
    if (options && options->help) {
        std::fputs(kSetPasswordUsage, stdout);
        return kExitSuccess;
    }
    auto target = options ? readTarget(*options, "set-password") : std::nullopt;
    if (target && !options->Has("new-password")) {
        std::fprintf(stderr, "hxt914q-cli set-password: --new-password is required\n");
        target.reset();
    }
    if (!target) {
        std::fputs(kSetPasswordUsage, stderr);
        return kExitUsage;
    }
    NvrClient client;
    if (!openChannel(client, options->Get("ip"), "set-password")) {
        return kExitRefused;
    }
    if (!client.SendSetPassword(target->ip, target->mac, kRecorderPort, options->Get("user", "admin"),
            options->Get("password"), options->Get("new-password"))) {
        std::fprintf(stderr, "hxt914q-cli set-password: the datagram could not be sent\n");
        return kExitRefused;
    }
    const int32_t state = waitWhileBusy(client);
    std::printf("state %s\n", stateName(state));
    return state == NvrClient::Done ? kExitSuccess : kExitRefused;
}
