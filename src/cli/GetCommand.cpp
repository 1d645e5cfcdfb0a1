// hxt914q-cli get: one GET through the wizard's own HTTP client, as its callers read a recorder or camera
// answer (HttpGet::GetAuthorised: a Digest challenge is answered on a second request on the same connection).
#include "CliCommand.h"
#include "PasswordOption.h"

#include "net/HttpGet.h"
#include "setup/report/TerminalText.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kGetUsage
    = "usage: hxt914q-cli get [--secure] [--verify] [--port N] [--user U]\n"
      "           [--password P | --password-env VAR | --password-stdin] [--timeout MS] HOST PATH\n"
      "Reads PATH (starting with \"/\") from HOST over HTTP, or HTTPS with --secure (port 80 or 443 unless --port\n"
      "is given). The recorder's self-signed certificate is accepted; --verify checks the certificate against\n"
      "the system trust store instead. User \"admin\" unless given; an empty password sends Basic credentials,\n"
      "a Digest challenge is answered on a second request. The password comes from --password (seen by every\n"
      "local user in the process list: for trials only), from the environment variable --password-env names, or\n"
      "from the first line of standard input (--password-stdin). Prints \"status N\", then the body (at most 63999\n"
      "bytes) line by line, each made safe for a terminal: control characters (escape sequences among them) and\n"
      "bytes that are not UTF-8 show as U+FFFD, tabs as spaces, and \"\\r\\n\" line ends as \"\\n\".\n"
      "Exit 0 when a response other than 401 came, 1 otherwise, 2 on bad usage.\n";

constexpr size_t kAnswerBuffer = 64000;

bool parseNumber(const std::string& text, long low, long high, long& value)
{
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= low && value <= high;
}

struct GetArguments
{
    bool secure = false;
    bool verify = false;
    long port = 0;
    long timeoutMs = 15000;
    std::string user = "admin";
    PasswordOption password { "password", "get" };
    std::string host;
    std::string path;
    bool help = false;
};

// Returns false (message on stderr) on an unknown option, a missing or bad value, or not exactly HOST PATH.
bool parse(const std::vector<std::string>& args, GetArguments& out)
{
    std::vector<std::string> positional;
    const OptionTaker take = [&out](const std::string& option, const std::string& value) {
        if (option == "--secure") {
            out.secure = true;
        } else if (option == "--verify") {
            out.verify = true;
        } else if (option == "--user") {
            out.user = value;
        } else if (out.password.Handles(option)) {
            return out.password.Take(option, value);
        } else if (option == "--port" && !parseNumber(value, 1, 65535, out.port)) {
            std::fprintf(stderr, "hxt914q-cli get: --port needs a number from 1 to 65535\n");
            return false;
        } else if (option == "--timeout" && !parseNumber(value, 1, 600000, out.timeoutMs)) {
            std::fprintf(stderr, "hxt914q-cli get: --timeout needs milliseconds from 1 to 600000\n");
            return false;
        }
        return true;
    };
    const ArgumentScan scan = ScanArguments(args, "get", { "--secure", "--verify", "--password-stdin" },
        { "--port", "--user", "--password", "--password-env", "--timeout" }, take, positional);
    if (scan == ArgumentScan::Help) {
        out.help = true;
        return true;
    }
    if (scan == ArgumentScan::Failed)
        return false;
    if (positional.size() != 2 || positional[1].empty() || positional[1][0] != '/') {
        std::fprintf(stderr, "hxt914q-cli get: needs HOST and a PATH starting with \"/\"\n");
        return false;
    }
    out.host = positional[0];
    out.path = positional[1];
    return true;
}

} // namespace

int RunGet(const std::vector<std::string>& args)
{
    GetArguments arguments;
    if (!parse(args, arguments)) {
        std::fputs(kGetUsage, stderr);
        return kExitUsage;
    }
    if (arguments.help) {
        std::fputs(kGetUsage, stdout);
        return kExitSuccess;
    }
    const std::optional<std::string> password = arguments.password.Read();
    if (!password)
        return kExitUsage;
    HttpGet http;
    const auto check = arguments.verify ? HttpGet::CertificateCheck::Verified : HttpGet::CertificateCheck::Relaxed;
    if (!http.Open(arguments.host, arguments.user, *password, uint32_t(arguments.timeoutMs),
            arguments.secure ? 1 : 0, int(arguments.port), check)) {
        std::fprintf(stderr, "hxt914q-cli get: cannot use the host '%s'\n", arguments.host.c_str());
        return kExitUsage;
    }
    std::vector<char> buffer(kAnswerBuffer, '\0');
    size_t size = buffer.size();
    const bool fetched = http.GetAuthorised(arguments.path, buffer.data(), &size);
    int status = 0;
    if (!http.QueryStatusCode(status)) {
        std::fprintf(stderr, "hxt914q-cli get: no response from %s\n", arguments.host.c_str());
        return kExitRefused;
    }
    if (!fetched) {
        // A refusal (401, 409) still has a body worth showing.
        size = 0;
        size_t read = 0;
        while (size + 1 < buffer.size() && http.ReadChunk(buffer.data() + size, buffer.size() - 1 - size, read)
            && read > 0) {
            size += read;
        }
    }
    std::printf("status %d\n", status);
    // The body is the device's text: control sequences in it would steer the terminal.
    const std::string body = TerminalLines(std::string(buffer.data(), size));
    std::fwrite(body.data(), 1, body.size(), stdout);
    std::fflush(stdout);
    return status != 401 ? kExitSuccess : kExitRefused;
}
