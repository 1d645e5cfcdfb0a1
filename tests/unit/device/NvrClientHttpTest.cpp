// The request object's HTTP commands against scripted loopback servers: the requests each command sends,
// how it reads the answers, the portal's cookie and error count, and how commands follow each other.
#include "DigestPeers.h"
#include "MhdServer.h"
#include "RawHttpServer.h"
#include "device/NvrClient.h"
#include "net/Base64.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kHost = "127.0.0.1";

int32_t waitWhileBusy(const NvrClient& client, std::chrono::milliseconds limit = 10000ms)
{
    const auto end = Clock::now() + limit;
    while (client.State() == NvrClient::Busy && Clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    return client.State();
}

std::string target(const RawRequest& request)
{
    const std::string line = request.requestLine();
    const size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

std::vector<std::string> targets(const RawHttpServer& server)
{
    std::vector<std::string> out;
    for (const RawRequest& request : server.requests()) {
        out.push_back(target(request));
    }
    return out;
}

// Answers each request by its path (query left out); unknown paths get 404.
RawHttpServer::Responder byPath(std::map<std::string, std::string> bodies)
{
    return [bodies](size_t, const RawRequest& request) {
        const std::string path = target(request).substr(0, target(request).find('?'));
        const auto found = bodies.find(path);
        return found == bodies.end() ? RawResponse::make(404, "") : RawResponse::make(200, found->second);
    };
}

std::string lines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "cam" + std::to_string(i) + ";10.77.0." + std::to_string(i % 250) + "\r\n";
    }
    return text;
}

TEST(NvrClientRecorder, commandsSendTheirRequestsAndReadTheirAnswers)
{
    struct Case
    {
        const char* name;
        std::function<bool(NvrClient&, int port)> issue;
        std::map<std::string, std::string> bodies;
        std::vector<std::string> requests;
        int32_t state;
        std::function<void(NvrClient&)> check;
    };
    const std::string pw = "pa&ss#1 \xc3\xa9";
    const Case cases[] = {
        { "FormatDisk", [](NvrClient& c, int p) { return c.FormatDisk(kHost, p, "admin", "pw", 1, 2, 3); },
            { { "/config/storageformat", "error=1\r\n" } }, { "/config/storageformat?storageid=1&partition=2&fs=3" },
            NvrClient::Done, nullptr },
        { "PollFormat 37", [](NvrClient& c, int p) { return c.PollFormat(kHost, p, "admin", "pw"); },
            { { "/config/storageformatpoll", "disk=1\r\nstatus=37\r\n" } }, { "/config/storageformatpoll" },
            NvrClient::Done, [](NvrClient& c) { EXPECT_EQ(c.FormatProgress(), 37); } },
        { "PollFormat without status", [](NvrClient& c, int p) { return c.PollFormat(kHost, p, "admin", "pw"); },
            { { "/config/storageformatpoll", "progress=50\r\n" } }, { "/config/storageformatpoll" }, NvrClient::Done,
            [](NvrClient& c) { EXPECT_EQ(c.FormatProgress(), 0); } },
        { "AddCamera",
            [pw](NvrClient& c, int p) {
                return c.AddCamera(kHost, p, "admin", "pw", 3, "Front door&1", "10.77.0.21:8080", "00:1a:2b", 0,
                    "admin", pw, "Vesk+or", "IPC 200");
            },
            { { "/config/addavdev", "ok\r\n" } },
            { "/config/addavdev?avdevid=3&avdevname=Front%20door%261&hostname=10.77.0.21:8080&hostid=00:1a:2b"
              "&protocol=1&protocoltype=0&account="
                + Base64Encode("admin") + "&pass=" + Base64Encode(pw) + "&brand=Vesk%2Bor&product=IPC%20200" },
            NvrClient::Done, nullptr },
        { "DeleteCamera", [](NvrClient& c, int p) { return c.DeleteCamera(kHost, p, "admin", "pw", 7); },
            { { "/config/delavdev", "" } }, { "/config/delavdev?avdevid=7" }, NvrClient::Done, nullptr },
        { "GetCloudPortal", [](NvrClient& c, int p) { return c.GetCloudPortal(kHost, p, "admin", "pw"); },
            { { "/config/quelmoportal", "status=0\r\naccess=1\r\nportal_url=u\r\n" } }, { "/config/quelmoportal" },
            NvrClient::Done, [](NvrClient& c) { EXPECT_EQ(c.PortalInfo(), "0&1&u&&&&"); } },
        { "SetCloudRegInfo",
            [](NvrClient& c, int p) { return c.SetCloudRegInfo(kHost, p, "admin", "pw", "a+b&c@x.org", "p w%"); },
            { { "/config/quelmoreginfo", "status=0\r\n" } },
            { "/config/quelmoreginfo?email=a%2Bb%26c@x.org&password=p%20w%25&status=1" }, NvrClient::Done, nullptr },
        { "DiscoverCameras 300 lines", [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", "pw"); },
            { { "/config/languages", "en\r\n" }, { "/config/quelmodiscovery", lines(300) } },
            { "/config/languages", "/config/quelmodiscovery" }, NvrClient::Done,
            [](NvrClient& c) {
                std::vector<std::string> seen;
                for (std::string item = c.NextListItem(); !item.empty(); item = c.NextListItem()) {
                    seen.push_back(item);
                }
                ASSERT_EQ(seen.size(), 256u);
                EXPECT_EQ(seen.front(), "cam0;10.77.0.0");
                EXPECT_EQ(seen.back(), "cam255;10.77.0.5");
            } },
        { "DiscoverCameras empty", [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", "pw"); },
            { { "/config/languages", "" }, { "/config/quelmodiscovery", "" } },
            { "/config/languages", "/config/quelmodiscovery" }, NvrClient::Done,
            [](NvrClient& c) { EXPECT_EQ(c.NextListItem(), ""); } },
        { "DiscoverCameras languages refused",
            [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", "pw"); }, {}, {}, NvrClient::Failed,
            nullptr },
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        RawHttpServer server(entry.bodies.empty()
                ? RawHttpServer::Responder([](size_t, const RawRequest&) { return RawResponse::make(409, ""); })
                : byPath(entry.bodies));
        NvrClient client;
        client.SetFixedPortConnection(server.port(), false); // the HTTPS commands, on plain loopback here
        ASSERT_TRUE(entry.issue(client, server.port()));
        EXPECT_EQ(waitWhileBusy(client), entry.state);
        if (!entry.requests.empty()) {
            EXPECT_EQ(targets(server), entry.requests);
        }
        if (entry.check) {
            entry.check(client);
        }
    }
}

// A recorder that refuses a command (4xx) or fails at it (5xx) has not done it, whatever its page says: an
// error page is never read as a list or a record.
TEST(NvrClientRecorder, everyCommandFailsUnlessTheRecorderAnswers2xx)
{
    const std::string errorPage = "<html><body><h1>500 Internal Server Error</h1>a;b;c</body></html>\r\n";
    const struct
    {
        const char* name;
        std::function<bool(NvrClient&, int port)> issue;
        int status;
    } cases[] = {
        { "AddCamera 400",
            [](NvrClient& c, int p) {
                return c.AddCamera(kHost, p, "admin", "pw", 0, "n", "10.77.0.2", "m", 1, "admin", "x", "b", "p");
            },
            400 },
        { "AddCamera 500",
            [](NvrClient& c, int p) {
                return c.AddCamera(kHost, p, "admin", "pw", 0, "n", "10.77.0.2", "m", 1, "admin", "x", "b", "p");
            },
            500 },
        { "DeleteCamera 500", [](NvrClient& c, int p) { return c.DeleteCamera(kHost, p, "admin", "pw", 0); }, 500 },
        { "FormatDisk 400", [](NvrClient& c, int p) { return c.FormatDisk(kHost, p, "admin", "pw", 1, 0, 1); }, 400 },
        { "PollFormat 503", [](NvrClient& c, int p) { return c.PollFormat(kHost, p, "admin", "pw"); }, 503 },
        { "DiscoverCameras 500", [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", "pw"); }, 500 },
        { "GetCloudPortal 404", [](NvrClient& c, int p) { return c.GetCloudPortal(kHost, p, "admin", "pw"); }, 404 },
        { "SetCloudRegInfo 500",
            [](NvrClient& c, int p) { return c.SetCloudRegInfo(kHost, p, "admin", "pw", "a@b.c", "pw"); }, 500 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        RawHttpServer server([&](size_t, const RawRequest& request) {
            // The camera search's first request (the language page) is answered; the list is the error page.
            return target(request) == "/config/languages" ? RawResponse::make(200, "")
                                                            : RawResponse::make(entry.status, errorPage);
        });
        NvrClient client;
        client.SetFixedPortConnection(server.port(), false);
        ASSERT_TRUE(entry.issue(client, server.port()));
        EXPECT_EQ(waitWhileBusy(client), NvrClient::Failed);
        EXPECT_EQ(client.AnswerStatus(), entry.status);
        EXPECT_EQ(client.NextListItem(), "") << "no phantom camera from the page's lines";
        EXPECT_EQ(client.PortalInfo(), "-1");
    }

    // The status of a command that got no answer is 0; one answered 200 carries 200.
    RawHttpServer ok(byPath({ { "/config/delavdev", "" } }));
    NvrClient client;
    ASSERT_TRUE(client.DeleteCamera(kHost, 1, "admin", "pw", 0)); // nothing listens on port 1
    EXPECT_EQ(waitWhileBusy(client), NvrClient::Failed);
    EXPECT_EQ(client.AnswerStatus(), 0);
    ASSERT_TRUE(client.DeleteCamera(kHost, ok.port(), "admin", "pw", 0));
    EXPECT_EQ(waitWhileBusy(client), NvrClient::Done);
    EXPECT_EQ(client.AnswerStatus(), 200);
}

// A zero byte in the camera list damages one line: the lines after it are listed, and the damaged one keeps its
// place (the recorder counts positions), for the line reader to leave out.
TEST(NvrClientRecorder, aZeroByteInTheCameraListCostsOnlyItsLine)
{
    const std::string list("1;10.77.0.5;aa\r\n0;10.77.\0.6;bb\r\n0;10.77.0.7;cc\r\n", 48);
    RawHttpServer server(byPath({ { "/config/languages", "" }, { "/config/quelmodiscovery", list } }));
    NvrClient client;
    client.SetFixedPortConnection(server.port(), false);
    ASSERT_TRUE(client.DiscoverCameras(kHost, server.port(), "admin", "pw"));
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    EXPECT_EQ(client.NextListItem(), "1;10.77.0.5;aa");
    EXPECT_EQ(client.NextListItem(), std::string("0;10.77.\0.6;bb", 14));
    EXPECT_EQ(client.NextListItem(), "0;10.77.0.7;cc");
    EXPECT_EQ(client.NextListItem(), "");
}

TEST(NvrClientRecorder, outputsFollowTheState)
{
    RawHttpServer server(byPath({ { "/config/quelmoportal", "status=1\r\nportal_url=p.example\r\n" },
        { "/config/languages", "" }, { "/config/quelmodiscovery", "a\r\nb" }, { "/config/storageformatpoll", "" } }));
    NvrClient client;
    client.SetFixedPortConnection(server.port(), false);
    EXPECT_EQ(client.PortalInfo(), "-1") << "Idle";
    EXPECT_EQ(client.AnswerResult(), "-1");

    ASSERT_TRUE(client.DiscoverCameras(kHost, server.port(), "admin", "pw"));
    EXPECT_EQ(client.NextListItem(), "") << "nothing while Busy";
    EXPECT_EQ(client.AnswerResult(), "");
    EXPECT_EQ(client.PortalInfo(), "");
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    for (const char* expected : { "a", "b", "", "a", "b", "", "a" }) {
        EXPECT_EQ(client.NextListItem(), expected);
    }

    ASSERT_TRUE(client.GetCloudPortal(kHost, server.port(), "admin", "pw"));
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    EXPECT_EQ(client.PortalInfo(), "1&&p.example&&&&");

    // A failed command keeps the old progress; the portal texts are cleared when the command is issued.
    ASSERT_TRUE(client.GetCloudPortal(kHost, 1, "admin", "pw")); // nothing listens on port 1
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Failed);
    EXPECT_EQ(client.PortalInfo(), "-1");
    EXPECT_EQ(client.AnswerResult(), "-1");
    ASSERT_TRUE(client.PollFormat(kHost, server.port(), "admin", "pw"));
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    EXPECT_EQ(client.PortalInfo(), "&&&&&&");
}

TEST(NvrClientRecorder, cloudRegStatusAsksOnceMoreWhenTheFirstAnswerLacksA1)
{
    const struct
    {
        std::vector<std::string> answers;
        int32_t state;
        size_t requests;
    } cases[] = {
        { { "status=1\r\n" }, NvrClient::Done, 1 },
        { { "status=0\r\n", "status=1\r\n" }, NvrClient::Done, 2 },
        { { "status=0\r\n", "status=0\r\n", "status=1\r\n" }, NvrClient::Failed, 2 },
    };
    for (const auto& entry : cases) {
        std::vector<Clock::time_point> at;
        std::mutex lock;
        RawHttpServer server([&](size_t index, const RawRequest&) {
            std::lock_guard guard(lock);
            at.push_back(Clock::now());
            return RawResponse::make(200, entry.answers.at(std::min(index, entry.answers.size() - 1)));
        });
        NvrClient client;
        ASSERT_TRUE(client.SetCloudRegStatus(kHost, server.port(), "admin", "pw", 1));
        EXPECT_EQ(waitWhileBusy(client), entry.state);
        const auto seen = targets(server);
        ASSERT_EQ(seen.size(), entry.requests);
        EXPECT_EQ(seen[0], "/config/quelmoregstatus?status=1");
        if (at.size() == 2) {
            EXPECT_GE(at[1] - at[0], 100ms);
        }
    }
}

TEST(NvrClientCamera, loginCheckAndPasswordEchoDecideTheState)
{
    const std::string filler(120 - std::string("AdminID=admin&").size(), 'x');
    const struct
    {
        const char* name;
        bool setPassword;
        RawResponse response;
        int32_t state;
    } cases[] = {
        { "200 with any body", false, RawResponse::make(200, "<html>whatever</html>"), NvrClient::Done },
        { "wrong password", false, RawResponse::make(401, "", "WWW-Authenticate: Basic realm=\"cam\"\r\n"),
            NvrClient::Failed },
        { "not found", false, RawResponse::make(404, ""), NvrClient::Failed },
        { "echo", true, RawResponse::make(200, "AdminID=admin\r\nAdminPassword=ab#cd12\r\n"), NvrClient::Done },
        { "echo of the query", true, RawResponse::make(200, "AdminPassword=ab%23cd12&ConfigReboot=No"),
            NvrClient::Done },
        { "echo from byte 120", true, RawResponse::make(200, "AdminID=admin&" + filler + "AdminPassword=ab#cd12"),
            NvrClient::Failed },
        { "no echo", true, RawResponse::make(200, "AdminPassword=other"), NvrClient::Failed },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        RawHttpServer server([&](size_t, const RawRequest&) { return entry.response; });
        NvrClient client;
        ASSERT_TRUE(entry.setPassword ? client.SetCameraPassword(kHost, server.port(), "admin", "", "ab#cd12")
                                      : client.CheckCameraLogin(kHost, server.port(), "admin", ""));
        EXPECT_EQ(waitWhileBusy(client), entry.state);
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << "one request, also for a 401";
        if (entry.setPassword) {
            EXPECT_EQ(target(requests[0]), "/system.cgi?AdminID=admin&AdminPassword=ab%23cd12&ConfigReboot=No");
            EXPECT_EQ(requests[0].header("Authorization"), "Basic " + Base64Encode("admin:"));
        } else {
            // The empty query's "?" is not sent (so a Digest answer's uri is the target the server received).
            EXPECT_EQ(target(requests[0]), "/userlist.cgi");
        }
    }
}

// The commands whose peer may have an empty password (a new camera, a new recorder), each with the files a
// peer serves for it and what a Done command must have read.
struct DigestCommand
{
    const char* name;
    std::function<bool(NvrClient&, int port)> issue;
    std::map<std::string, std::string> files;
    std::function<void(NvrClient&)> check;
};

std::vector<DigestCommand> digestCommands()
{
    return {
        { "PollFormat", [](NvrClient& c, int p) { return c.PollFormat(kHost, p, "admin", ""); },
            { { "/config/storageformatpoll", "status=37\r\n" } },
            [](NvrClient& c) { EXPECT_EQ(c.FormatProgress(), 37); } },
        { "CheckCameraLogin", [](NvrClient& c, int p) { return c.CheckCameraLogin(kHost, p, "admin", ""); },
            { { "/userlist.cgi", "user1=admin\r\n" } }, nullptr },
        { "DiscoverCameras", [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", ""); },
            { { "/config/languages", "en\r\n" }, { "/config/quelmodiscovery", "cam;10.77.0.9\r\n" } },
            [](NvrClient& c) { EXPECT_EQ(c.NextListItem(), "cam;10.77.0.9"); } },
    };
}

// Against both Digest-only servers, with the empty password of a new device: the first request is refused
// with a Digest challenge and answered once more on the same connection; a peer that has a password
// refuses both, and nothing loops.
TEST(NvrClientDigest, emptyPasswordIsAnsweredOnTheSecondRequestAndAWrongOneFailsAfterTwo)
{
    for (PeerKind kind : { PeerKind::Microhttpd, PeerKind::Lighttpd }) {
        for (const DigestCommand& command : digestCommands()) {
            for (const char* peerPassword : { "", "S3cret" }) {
                const bool right = *peerPassword == '\0';
                SCOPED_TRACE(std::string(PeerName(kind)) + " " + command.name + (right ? "" : " wrong password"));
                std::string failure;
                const auto peer = StartDigestPeer(kind, peerPassword, command.files, failure);
                if (!peer) {
                    GTEST_SKIP() << failure;
                }
                NvrClient client;
                client.SetFixedPortConnection(peer->port(), false); // the HTTPS commands, on plain loopback here
                ASSERT_TRUE(command.issue(client, peer->port()));
                ASSERT_EQ(waitWhileBusy(client), right ? NvrClient::Done : NvrClient::Failed);
                const auto requests = peer->requests();
                ASSERT_GE(requests.size(), 2u);
                EXPECT_EQ(requests[0].authorization, "Basic " + Base64Encode("admin:"));
                EXPECT_EQ(requests[1].path, requests[0].path);
                EXPECT_EQ(requests[1].authorization.rfind("Digest ", 0), 0u) << requests[1].authorization;
                if (!right) {
                    EXPECT_EQ(requests.size(), 2u);
                    continue;
                }
                std::map<std::string, int> perPath;
                for (const PeerRequest& request : requests) {
                    EXPECT_LE(++perPath[request.path], 2) << request.path;
                }
                EXPECT_EQ(perPath.size(), command.files.size());
                if (command.check) {
                    command.check(client);
                }
            }
        }
    }
}

// libmicrohttpd's Digest check that holds the chosen request until the test lets it go.
class StallingPeer
{
public:
    explicit StallingPeer(size_t stallAt)
        : stallAt(stallAt)
        , server([this](MHD_Connection* connection, const MhdRequest&) {
            const size_t index = seen++;
            if (index == this->stallAt) {
                std::unique_lock<std::mutex> guard(lock);
                released.wait_for(guard, 10s, [this] { return letGo; });
            }
            MHD_Result queued = MHD_NO;
            if (!MhdServer::digestAuthorised(connection, DigestPeer::kRealm, "admin", "", queued)) {
                return queued;
            }
            return MhdServer::reply(connection, 200, "en\r\n");
        })
    {
    }
    ~StallingPeer()
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            letGo = true;
        }
        released.notify_all();
    }
    uint16_t port() const { return server.port(); }
    size_t requestCount() const { return server.requests().size(); }

private:
    size_t stallAt;
    std::atomic<size_t> seen { 0 };
    std::mutex lock;
    std::condition_variable released;
    bool letGo = false;
    MhdServer server;
};

TEST(NvrClientDigest, stopDuringEitherRequestEndsTheCommandAtOnce)
{
    for (const DigestCommand& command : digestCommands()) {
        for (size_t stallAt : { 0u, 1u }) {
            SCOPED_TRACE(std::string(command.name) + " stopped during request " + std::to_string(stallAt + 1));
            StallingPeer peer(stallAt);
            NvrClient client;
            client.SetFixedPortConnection(peer.port(), false);
            ASSERT_TRUE(command.issue(client, peer.port()));
            const auto deadline = Clock::now() + 5s;
            while (peer.requestCount() <= stallAt && Clock::now() < deadline) {
                std::this_thread::sleep_for(5ms);
            }
            ASSERT_EQ(peer.requestCount(), stallAt + 1) << "the request to stop in never came";
            std::this_thread::sleep_for(100ms);
            const auto stopAt = Clock::now();
            EXPECT_TRUE(client.Stop());
            EXPECT_LT(std::chrono::duration<double>(Clock::now() - stopAt).count(), 1.0);
            EXPECT_EQ(client.State(), NvrClient::Failed);
            std::this_thread::sleep_for(200ms);
            EXPECT_EQ(peer.requestCount(), stallAt + 1) << "nothing is sent after Stop";
        }
    }
}

// A scripted portal: answers each form with the next text and records the forms.
struct Portal
{
    explicit Portal(std::vector<RawResponse> answers)
        : server([answers](size_t index, const RawRequest&) { return answers.at(index); })
    {
        client.SetFixedPortConnection(server.port(), false);
    }
    int32_t run(const std::function<bool(NvrClient&)>& issue)
    {
        EXPECT_TRUE(issue(client));
        return waitWhileBusy(client);
    }
    RawHttpServer server;
    NvrClient client;
};

bool signUp(NvrClient& c, const std::string& email = "j+doe&co@x.org")
{
    return c.PortalSignUp(kHost, "wizard", "HXT-914Q_V 2.02.00", "en", email, "pw1", "pw1", "J\xc3\xbcrgen", "Doe");
}

bool signIn(NvrClient& c)
{
    return c.PortalSignIn(kHost, "wizard", "HXT-914Q_V 2.02.00", "en", "a@x.org", "pw");
}

bool bind(NvrClient& c)
{
    return c.PortalBind(kHost, "wizard", "HXT-914Q_V 2.02.00", "en", "N123", "devpw", "fp=1");
}

TEST(NvrClientPortal, formsCarryTheErrorCountAndTheCookieGoesBackWithTheBind)
{
    Portal portal({
        RawResponse::make(200, "error SIGNUPERR002 weak password"),
        RawResponse::make(200, "{\"result\":\"success\"}", "Set-Cookie: lang=en; quelmo=abc123; Path=/\r\n"),
        RawResponse::make(200, "SIGNINERR002"),
        RawResponse::make(200, "SIGNINERR001"),
        RawResponse::make(200, "N123 HXT-914Q bound"),
        RawResponse::make(200, "SIGNINERR003", "Set-Cookie: other=1\r\n"),
        RawResponse::make(200, "BINDERR004"),
    });
    ASSERT_EQ(portal.run([](NvrClient& c) { return signUp(c); }), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 1);
    EXPECT_EQ(portal.client.AnswerResult(), "error SIGNUPERR002 weak password");
    ASSERT_EQ(portal.run([](NvrClient& c) { return signUp(c); }), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 0);
    EXPECT_EQ(portal.client.PortalCookie(), "abc123");
    ASSERT_EQ(portal.run(signIn), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 1);
    ASSERT_EQ(portal.run(signIn), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 1) << "SIGNINERR001 leaves the count";
    EXPECT_EQ(portal.client.PortalCookie(), "") << "a sign-in without the cookie clears it";
    ASSERT_EQ(portal.run(bind), NvrClient::Done);
    ASSERT_EQ(portal.run(signIn), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 2);
    ASSERT_EQ(portal.run(bind), NvrClient::Done);
    EXPECT_EQ(portal.client.ErrCount(), 3);

    const auto requests = portal.server.requests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].requestLine(), "POST /signin HTTP/1.1");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(requests[0].body,
        "client=wizard&wizard_version=HXT-914Q_V%202.02.00&lang=en&action=sign-up&accept=accept"
        "&email=j%2Bdoe%26co@x.org&password=pw1&password_verify=pw1&name_first=J%C3%BCrgen&name_last=Doe"
        "&err_count=0\r\n\r\n");
    EXPECT_FALSE(requests[0].hasHeader("Authorization"));
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_NE(requests[1].body.find("&err_count=1\r\n\r\n"), std::string::npos);
    EXPECT_EQ(requests[2].requestLine(), "POST /account/?signin HTTP/1.1");
    EXPECT_EQ(requests[2].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[2].body,
        "client=wizard&wizard_version=HXT-914Q_V%202.02.00&lang=en&email=a@x.org&password=pw&err_count=0\r\n\r\n");
    EXPECT_EQ(requests[4].requestLine(), "POST /account/?add HTTP/1.1");
    EXPECT_EQ(requests[4].header("Cookie"), "quelmo=;") << "the empty cookie of the last sign-in";
    EXPECT_EQ(requests[4].body,
        "client=wizard&wizard_version=HXT-914Q_V%202.02.00&lang=en&tovra_no=N123&device_password=devpw"
        "&dfp=fp=1&err_count=1\r\n\r\n");
}

TEST(NvrClientPortal, answerSplitOverSeveralReadsIsExaminedWholeAndFailuresKeepTheOutputs)
{
    RawResponse trickle;
    trickle.kind = RawResponse::Kind::Trickle;
    trickle.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 18\r\nSet-Cookie: quelmo=q1\r\n\r\n";
    trickle.pieces = { "SIGNUP", "ERR001", " taken" };
    trickle.pauseMs = 100;
    Portal portal({ trickle });
    ASSERT_EQ(portal.run([](NvrClient& c) { return signUp(c); }), NvrClient::Done);
    EXPECT_EQ(portal.client.AnswerText(), "SIGNUPERR001 taken");
    EXPECT_EQ(portal.client.ErrCount(), 1);

    // Nothing listens: Failed, and the answer, cookie and count stay.
    portal.client.SetFixedPortConnection(1, false);
    ASSERT_EQ(portal.run(signIn), NvrClient::Failed);
    EXPECT_EQ(portal.client.AnswerResult(), "-1");
    EXPECT_EQ(portal.client.AnswerText(), "");
    EXPECT_EQ(portal.client.ErrCount(), 1);
    EXPECT_EQ(portal.client.PortalCookie(), "q1");
}

TEST(NvrClientWorker, aCommandIssuedRightAfterAnotherGoesOutAtOnce)
{
    RawHttpServer server(byPath({ { "/config/storageformatpoll", "status=5\r\n" }, { "/config/delavdev", "" } }));
    NvrClient client;
    ASSERT_TRUE(client.PollFormat(kHost, server.port(), "admin", "pw"));
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    const auto issuedAt = Clock::now();
    ASSERT_TRUE(client.DeleteCamera(kHost, server.port(), "admin", "pw", 2));
    EXPECT_EQ(client.State(), NvrClient::Busy);
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    const double seconds = std::chrono::duration<double>(Clock::now() - issuedAt).count();
    EXPECT_LT(seconds, 1.5) << "the second command waited for the first worker's end";
    EXPECT_EQ(
        targets(server), (std::vector<std::string> { "/config/storageformatpoll", "/config/delavdev?avdevid=2" }));
}

TEST(NvrClientWorker, stopEndsABlockedRequestAndAReplacedCommandCannotWriteTheNextState)
{
    RawResponse silent;
    silent.kind = RawResponse::Kind::Silent;
    RawHttpServer mute([&](size_t, const RawRequest&) { return silent; });
    RawHttpServer quick(byPath({ { "/config/storageformatpoll", "status=9\r\n" } }));
    NvrClient client;

    ASSERT_TRUE(client.CheckCameraLogin(kHost, mute.port(), "admin", "")); // 30000 ms limit
    while (mute.requests().empty()) {
        std::this_thread::sleep_for(5ms);
    }
    const auto stopAt = Clock::now();
    EXPECT_TRUE(client.Stop());
    const double stopSeconds = std::chrono::duration<double>(Clock::now() - stopAt).count();
    EXPECT_LT(stopSeconds, 1.0);
    EXPECT_EQ(client.State(), NvrClient::Failed);

    // A blocked command replaced by the next one: its worker ends, and only the new command's result shows.
    ASSERT_TRUE(client.CheckCameraLogin(kHost, mute.port(), "admin", ""));
    while (mute.requests().size() < 2) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(client.PollFormat(kHost, quick.port(), "admin", "pw"));
    ASSERT_EQ(waitWhileBusy(client), NvrClient::Done);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(client.State(), NvrClient::Done);
    EXPECT_EQ(client.FormatProgress(), 9);
}

TEST(NvrClientWorker, unpreparableConnectionLeavesBusyAndUnknownCodesAreRefused)
{
    NvrClient client;
    EXPECT_FALSE(client.PollFormat("", 80, "admin", "pw"));
    EXPECT_EQ(client.State(), NvrClient::Busy);
    EXPECT_TRUE(client.Stop());
    EXPECT_EQ(client.State(), NvrClient::Busy) << "Stop leaves the state";
}

// Recorder and camera credentials never leave the LAN, whatever the proxy settings say; the portal follows
// them.
TEST(NvrClientProxy, recorderAndCameraRequestsNeverReachAProxyPortalRequestsDo)
{
    RawHttpServer proxy([](size_t, const RawRequest&) { return RawResponse::make(200, "SIGNINERR002"); });
    RawHttpServer device(byPath({ { "/config/storageformatpoll", "status=3\r\n" }, { "/userlist.cgi", "" },
        { "/config/languages", "" }, { "/config/quelmodiscovery", "" } }));
    struct ProxySetting
    {
        explicit ProxySetting(const std::string& url) { ::setenv("http_proxy", url.c_str(), 1); }
        ~ProxySetting() { ::unsetenv("http_proxy"); }
    } setting("http://127.0.0.1:" + std::to_string(proxy.port()));
    const struct
    {
        const char* name;
        std::function<bool(NvrClient&, int port)> issue;
        bool viaProxy;
    } cases[] = {
        { "recorder", [](NvrClient& c, int p) { return c.PollFormat(kHost, p, "admin", "pw"); }, false },
        { "recorder HTTPS port", [](NvrClient& c, int p) { return c.DiscoverCameras(kHost, p, "admin", "pw"); },
            false },
        { "camera", [](NvrClient& c, int p) { return c.CheckCameraLogin(kHost, p, "admin", "pw"); }, false },
        { "portal", [](NvrClient& c, int) { return signIn(c); }, true },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        const size_t proxied = proxy.requests().size();
        const size_t direct = device.requests().size();
        NvrClient client;
        client.SetFixedPortConnection(device.port(), false);
        ASSERT_TRUE(entry.issue(client, device.port()));
        EXPECT_EQ(waitWhileBusy(client), NvrClient::Done);
        EXPECT_EQ(proxy.requests().size() > proxied, entry.viaProxy);
        EXPECT_EQ(device.requests().size() > direct, !entry.viaProxy);
    }
}

} // namespace
