// hxt914q-cli login and set-password: the recorder's datagram commands, sent through the interface on
// which the recorder answered the search.
#include "CliCommand.h"
#include "CliSearch.h"
#include "PasswordOption.h"

#include "device/NvrClient.h"
#include "discovery/AddressText.h"
#include "discovery/DatagramHeader.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

const char* const kLoginUsage
    = "usage: hxt914q-cli login --ip IP --mac MAC [--user U] [--password P | --password-env VAR | --password-stdin]\n"
      "Searches, then sends the login datagram to the recorder with this IPv4 and MAC (user \"admin\" and an\n"
      "empty password unless given) and prints \"state Done|TimedOut|Failed\" and \"login-result N\".\n"
      "The password comes from --password (seen by every local user in the process list: for trials only), from\n"
      "the environment variable --password-env names, or from the first line of standard input (--password-stdin).\n"
      "Exit 0 when the recorder accepted the login (Done, result 1), 1 otherwise, 2 on bad usage.\n";

const char* const kSetPasswordUsage
    = "usage: hxt914q-cli set-password --ip IP --mac MAC [--user U]\n"
      "           [--password CURRENT | --password-env VAR | --password-stdin]\n"
      "           (--new-password NEW | --new-password-env VAR | --new-password-stdin)\n"
      "Searches, then sends the set-password datagram to the recorder with this IPv4 and MAC and prints\n"
      "\"state Done|TimedOut|Failed\". Each password comes from its option (seen by every local user in the\n"
      "process list: for trials only), from the environment variable its -env option names, or from a line of\n"
      "standard input (-stdin; when both do, the current password's line comes first). The current password is\n"
      "empty unless given. Exit 0 on Done, 1 otherwise, 2 on bad usage.\n";

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

// The options of login and set-password: the recorder, the user and the passwords.
struct UdpArguments
{
    explicit UdpArguments(const char* command)
        : command(command)
        , password("password", command)
        , newPassword("new-password", command)
    {
    }
    const char* command;
    std::string ip;
    std::string mac;
    std::string user = "admin";
    PasswordOption password;
    PasswordOption newPassword; // set-password only
    bool help = false;
};

// Reads the options (set-password also takes the new password's); false (message on stderr) on bad usage.
bool parseArguments(const std::vector<std::string>& args, bool withNewPassword, UdpArguments& out)
{
    std::vector<std::string> positional;
    const OptionTaker take = [&out](const std::string& option, const std::string& value) {
        if (option == "--ip")
            out.ip = value;
        else if (option == "--mac")
            out.mac = value;
        else if (option == "--user")
            out.user = value;
        else if (out.password.Handles(option))
            return out.password.Take(option, value);
        else
            return out.newPassword.Take(option, value);
        return true;
    };
    const ArgumentScan scan = withNewPassword
        ? ScanArguments(args, out.command, { "--password-stdin", "--new-password-stdin" },
              { "--ip", "--mac", "--user", "--password", "--password-env", "--new-password", "--new-password-env" },
              take, positional)
        : ScanArguments(args, out.command, { "--password-stdin" },
              { "--ip", "--mac", "--user", "--password", "--password-env" }, take, positional);
    if (scan == ArgumentScan::Help) {
        out.help = true;
        return true;
    }
    if (scan == ArgumentScan::Failed)
        return false;
    if (!positional.empty()) {
        std::fprintf(stderr, "hxt914q-cli %s: unknown argument '%s' (see --help)\n", out.command, positional[0].c_str());
        return false;
    }
    return true;
}

// Reads --ip and --mac; prints the usage problem and returns nothing when they are missing or malformed.
std::optional<Target> readTarget(const UdpArguments& arguments)
{
    const char* command = arguments.command;
    Target target;
    if (arguments.ip.empty() || arguments.mac.empty()) {
        std::fprintf(stderr, "hxt914q-cli %s: --ip and --mac are required\n", command);
        return std::nullopt;
    }
    // What a person types is read strictly: a malformed address is refused, never sent to another device.
    const auto ip = ParseIpv4Strict(arguments.ip);
    if (!ip) {
        std::fprintf(stderr, "hxt914q-cli %s: --ip needs a dotted IPv4 address\n", command);
        return std::nullopt;
    }
    const auto mac = ParseMacStrict(arguments.mac);
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
    UdpArguments arguments("login");
    const bool parsed = parseArguments(args, false, arguments);
    if (parsed && arguments.help) {
        std::fputs(kLoginUsage, stdout);
        return kExitSuccess;
    }
    const auto target = parsed ? readTarget(arguments) : std::nullopt;
    if (!target) {
        std::fputs(kLoginUsage, stderr);
        return kExitUsage;
    }
    const std::optional<std::string> password = arguments.password.Read();
    if (!password)
        return kExitUsage;
    NvrClient client;
    if (!openChannel(client, arguments.ip, "login")) {
        return kExitRefused;
    }
    if (!client.SendLogin(target->ip, target->mac, kRecorderPort, arguments.user, *password)) {
        std::fprintf(stderr, "hxt914q-cli login: the login datagram could not be sent\n");
        return kExitRefused;
    }
    const int32_t state = waitWhileBusy(client);
    std::printf("state %s\nlogin-result %d\n", stateName(state), client.LoginResult());
    return state == NvrClient::Done && client.LoginResult() == 1 ? kExitSuccess : kExitRefused;
}

int RunSetPassword(const std::vector<std::string>& args)
{
    UdpArguments arguments("set-password");
    const bool parsed = parseArguments(args, true, arguments);
    if (parsed && arguments.help) {
        std::fputs(kSetPasswordUsage, stdout);
        return kExitSuccess;
    }
    auto target = parsed ? readTarget(arguments) : std::nullopt;
    if (target && !arguments.newPassword.Given()) {
        std::fprintf(stderr,
            "hxt914q-cli set-password: the new password is required (--new-password, --new-password-env or "
            "--new-password-stdin)\n");
        target.reset();
    }
    if (!target) {
        std::fputs(kSetPasswordUsage, stderr);
        return kExitUsage;
    }
    // The current password's line first when both come from standard input.
    const std::optional<std::string> current = arguments.password.Read();
    const std::optional<std::string> next = current ? arguments.newPassword.Read() : std::nullopt;
    if (!current || !next)
        return kExitUsage;
    NvrClient client;
    if (!openChannel(client, arguments.ip, "set-password")) {
        return kExitRefused;
    }
    if (!client.SendSetPassword(target->ip, target->mac, kRecorderPort, arguments.user, *current, *next)) {
        std::fprintf(stderr, "hxt914q-cli set-password: the datagram could not be sent\n");
        return kExitRefused;
    }
    const int32_t state = waitWhileBusy(client);
    std::printf("state %s\n", stateName(state));
    return state == NvrClient::Done ? kExitSuccess : kExitRefused;
}
