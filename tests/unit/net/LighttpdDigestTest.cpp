// Our Digest answer checked by a second server we did not write: lighttpd's mod_auth, started on a
// loopback port with a generated configuration and htdigest file, with a realm that holds a space.
#include "net/HttpGet.h"
#include "net/Md5.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

const char* const kLighttpd = "/usr/sbin/lighttpd";
const char* const kRealm = "HXT Recorder";

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

class LighttpdDigest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (::access(kLighttpd, X_OK) != 0) {
            GTEST_SKIP() << "lighttpd is not installed";
        }
        char pattern[] = "/tmp/hxt-lighttpd-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::create_directories(dir / "www" / "config");
        std::ofstream(dir / "www" / "config" / "storage") << "disk=1\r\n";
        // htdigest line: user:realm:MD5(user:realm:password)
        std::ofstream(dir / "htdigest") << "admin:" << kRealm << ":"
                                        << Md5Hex(std::string("admin:") + kRealm + ":pa55 word") << "\n"
                                        << "guest:" << kRealm << ":" << Md5Hex(std::string("guest:") + kRealm + ":")
                                        << "\n";
        port = freeLoopbackPort();
        std::ofstream(dir / "lighttpd.conf")
            << "server.modules = (\"mod_auth\", \"mod_authn_file\")\n"
            << "server.document-root = \"" << (dir / "www").string() << "\"\n"
            << "server.bind = \"127.0.0.1\"\n"
            << "server.port = " << port << "\n"
            << "server.errorlog = \"" << (dir / "error.log").string() << "\"\n"
            << "auth.backend = \"htdigest\"\n"
            << "auth.backend.htdigest.userfile = \"" << (dir / "htdigest").string() << "\"\n"
            << "auth.require = (\"/\" => (\"method\" => \"digest\", \"realm\" => \"" << kRealm
            << "\", \"require\" => \"valid-user\"))\n";
        pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string config = (dir / "lighttpd.conf").string();
            ::execl(kLighttpd, kLighttpd, "-D", "-f", config.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !accepting(port); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(accepting(port)) << "lighttpd did not start; see " << (dir / "error.log");
    }

    void TearDown() override
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        if (!dir.empty()) {
            std::filesystem::remove_all(dir);
        }
    }

    std::filesystem::path dir;
    uint16_t port = 0;
    pid_t pid = -1;
};

TEST_F(LighttpdDigest, digestChallengeSwitchesTheObjectAndRetriesSucceed)
{
    const struct
    {
        const char* user;
        const char* password;
    } accounts[] = { { "admin", "pa55 word" }, { "guest", "" } };
    for (const auto& account : accounts) {
        SCOPED_TRACE(account.user);
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", account.user, account.password, 3000, 0, port));
        http.SetAuthMode(HttpGet::AuthNone); // no credentials at first, so the challenge reaches us
        EXPECT_FALSE(http.SendGet("/config/storage"));
        ASSERT_EQ(http.GetAuthMode(), HttpGet::AuthDigest);
        EXPECT_EQ(http.Digest().realm, kRealm);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(http.SendGet("/config/storage")) << "request " << i + 2;
            int status = 0;
            ASSERT_TRUE(http.QueryStatusCode(status));
            EXPECT_EQ(status, 200);
        }
        std::vector<char> buffer(64000, '\0');
        size_t size = buffer.size();
        ASSERT_TRUE(http.FetchAll("/config/storage", buffer.data(), size));
        EXPECT_EQ(std::string(buffer.data(), size), "disk=1\r\n");
        EXPECT_EQ(http.Digest().ncText, "00000004");
    }

    HttpGet wrong;
    ASSERT_TRUE(wrong.Open("127.0.0.1", "admin", "wrong", 3000, 0, port));
    wrong.SetAuthMode(HttpGet::AuthNone);
    EXPECT_FALSE(wrong.SendGet("/config/storage"));
    EXPECT_FALSE(wrong.SendGet("/config/storage"));
}

} // namespace
