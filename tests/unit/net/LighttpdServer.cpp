#include "LighttpdServer.h"

#include "net/Md5.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

uint16_t freeLoopbackPort()
{
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

bool accepting(uint16_t port)
{
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return ok;
}

} // namespace

bool LighttpdServer::Available()
{
    return ::access(kBinary, X_OK) == 0;
}

LighttpdServer::LighttpdServer(const std::string& realm, const std::map<std::string, std::string>& accounts,
    const std::map<std::string, std::string>& files)
{
    char pattern[] = "/tmp/hxt-lighttpd-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        failure = "no temporary folder";
        return;
    }
    dir = pattern;
    for (const auto& [path, content] : files) {
        const std::filesystem::path file = dir / "www" / path.substr(1);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }
    std::filesystem::create_directories(dir / "www");
    {
        // htdigest line: user:realm:MD5(user:realm:password)
        std::ofstream htdigest(dir / "htdigest");
        for (const auto& [user, password] : accounts) {
            htdigest << user << ":" << realm << ":" << Md5Hex(user + ":" + realm + ":" + password) << "\n";
        }
    }
    listenPort = freeLoopbackPort();
    // The request log goes to the error log, which lighttpd writes at once (its access log is buffered).
    std::ofstream(dir / "lighttpd.conf") << "server.modules = (\"mod_auth\", \"mod_authn_file\")\n"
                                         << "server.document-root = \"" << (dir / "www").string() << "\"\n"
                                         << "server.bind = \"127.0.0.1\"\n"
                                         << "server.port = " << listenPort << "\n"
                                         << "server.errorlog = \"" << (dir / "error.log").string() << "\"\n"
                                         << "debug.log-request-header = \"enable\"\n"
                                         << "auth.backend = \"htdigest\"\n"
                                         << "auth.backend.htdigest.userfile = \"" << (dir / "htdigest").string()
                                         << "\"\n"
                                         << "auth.require = (\"/\" => (\"method\" => \"digest\", \"realm\" => \""
                                         << realm << "\", \"require\" => \"valid-user\"))\n";
    pid = ::fork();
    if (pid < 0) {
        failure = "fork failed";
        return;
    }
    if (pid == 0) {
        const std::string config = (dir / "lighttpd.conf").string();
        ::execl(kBinary, kBinary, "-D", "-f", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 100 && !accepting(listenPort); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    started = accepting(listenPort);
    if (!started) {
        failure = "lighttpd did not start; see " + (dir / "error.log").string();
    }
}

LighttpdServer::~LighttpdServer()
{
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    if (!dir.empty() && started) {
        std::filesystem::remove_all(dir);
    }
}

// Log lines: "<time>: (connections.c.NNN) fd:N rqst: GET /path HTTP/1.1", then one "rqst: Name: value"
// line per header.
std::vector<LighttpdRequest> LighttpdServer::requests() const
{
    std::vector<LighttpdRequest> out;
    std::ifstream log(dir / "error.log");
    const std::string marker = " rqst: ";
    std::string line;
    while (std::getline(log, line)) {
        const size_t at = line.find(marker);
        if (at == std::string::npos) {
            continue;
        }
        const std::string text = line.substr(at + marker.size());
        const size_t space = text.find(' ');
        const size_t version = text.rfind(" HTTP/");
        if (space != std::string::npos && version != std::string::npos && version > space && text.find(':') > space) {
            out.push_back({ text.substr(0, space), text.substr(space + 1, version - space - 1), {} });
        } else if (!out.empty() && text.rfind("Authorization: ", 0) == 0) {
            out.back().authorization = text.substr(15);
        }
    }
    return out;
}
