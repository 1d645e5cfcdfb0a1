// HttpGet against loopback servers: a scripted raw server for exact bytes and timing, and
// libmicrohttpd for an independent Digest check.
#include "net/HttpGet.h"
#include "DigestPeers.h"
#include "MhdServer.h"
#include "RawHttpServer.h"
#include "net/Base64.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string digestField(const std::string& header, const std::string& name)
{
    std::smatch m;
    const std::regex field("[ ,]" + name + R"(=("([^"]*)\"|[^,]*))");
    if (!std::regex_search(header, m, field)) {
        return {};
    }
    return m[2].matched ? m[2].str() : m[1].str();
}

RawHttpServer::Responder always(RawResponse response)
{
    return [response](size_t, const RawRequest&) { return response; };
}

TEST(HttpGetOpen, portFollowsSecureFlagAndExplicitPortWithoutTraffic)
{
    RawHttpServer server(always(RawResponse::make(200, "")));
    const struct
    {
        int secure;
        int port;
        int expected;
    } cases[] = { { 0, 0, 80 }, { 1, 0, 443 }, { 1, 8443, 8443 }, { 0, 8080, 8080 }, { 2, 0, 443 } };
    for (const auto& entry : cases) {
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, entry.secure, entry.port));
        EXPECT_EQ(http.Port(), entry.expected) << "secure " << entry.secure << " port " << entry.port;
        EXPECT_EQ(http.Secure(), entry.secure >= 1);
    }
    HttpGet http;
    EXPECT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, server.port()));
    EXPECT_EQ(server.connectionCount(), 0) << "Open must not connect";
    for (const char* host : { "", "127.0.0.1/evil", "a b", "user@host", "host:80" }) {
        EXPECT_FALSE(http.Open(host, "admin", "", 1000, 0, 0)) << host;
        EXPECT_FALSE(http.SendGet("/")) << "a failed Open leaves nothing to send on";
    }
    EXPECT_FALSE(http.Open("127.0.0.1", "admin", "", 1000, 0, 70000));
}

TEST(HttpGetAuth, authorizationHeaderFollowsModeAndCredentials)
{
    RawHttpServer server(always(RawResponse::make(200, "ok")));
    const struct
    {
        const char* user;
        const char* password;
        bool none;
        const char* expected; // nullptr: no Authorization header
    } cases[] = {
        { "admin", "", false, "Basic YWRtaW46" },
        { "admin", "x", false, nullptr }, // a challenge is answered with the password; nothing pre-emptive
        { "", "", false, nullptr },
        { "admin", "", true, nullptr },
    };
    size_t seen = 0;
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.user) + "/" + entry.password + (entry.none ? " AuthNone" : ""));
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", entry.user, entry.password, 3000, 0, server.port()));
        if (entry.none) {
            http.SetAuthMode(HttpGet::AuthNone);
        }
        ASSERT_TRUE(http.SendGet("/cgi-bin/check"));
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), seen + 1);
        const RawRequest& request = requests.back();
        ++seen;
        EXPECT_EQ(request.requestLine(), "GET /cgi-bin/check HTTP/1.1");
        EXPECT_EQ(request.header("User-Agent"), "InetURL/1.0");
        if (entry.expected == nullptr) {
            EXPECT_FALSE(request.hasHeader("Authorization")) << request.head;
        } else {
            EXPECT_EQ(request.header("Authorization"), entry.expected);
        }
    }
}

// With a password, the 401 is answered within the same SendGet by a header of ours (the library's own
// authentication stays off): Digest when an MD5 challenge is offered, else Basic; a challenge of neither kind
// stands. The answer goes out for the target exactly as first sent, on the connection the 401 came on.
TEST(HttpGetAuth, passwordAnswersTheOfferedChallengeOnceWithinTheRequest)
{
    const std::string md5Digest = "WWW-Authenticate: Digest realm=\"cam\", nonce=\"n1\", qop=\"auth\"\r\n";
    const std::string basic = "WWW-Authenticate: Basic realm=\"IP Camera\"\r\n";
    const struct
    {
        const char* name;
        std::string challenge;
        const char* answerScheme; // nullptr: no second request
    } cases[] = {
        { "Basic only", basic, "Basic " },
        { "MD5 Digest only", md5Digest, "Digest " },
        { "Basic and MD5 Digest", basic + md5Digest, "Digest " },
        { "SHA-256 Digest only", "WWW-Authenticate: Digest realm=\"r\", nonce=\"n\", algorithm=SHA-256\r\n", nullptr },
        { "no challenge", "", nullptr },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        const std::string challenge = entry.challenge;
        RawHttpServer server([challenge](size_t, const RawRequest& request) {
            return request.hasHeader("Authorization") ? RawResponse::make(200, "user1=admin")
                                                      : RawResponse::make(401, "refused", challenge);
        });
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", "admin", "x", 3000, 0, server.port()));
        EXPECT_EQ(http.SendGet("/userlist.cgi?page=1"), entry.answerScheme != nullptr);
        EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthBasic) << "the next request starts without credentials again";
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), entry.answerScheme != nullptr ? 2u : 1u);
        EXPECT_FALSE(requests[0].hasHeader("Authorization"));
        if (entry.answerScheme == nullptr) {
            continue;
        }
        const std::string answer = requests[1].header("Authorization");
        EXPECT_EQ(answer.rfind(entry.answerScheme, 0), 0u) << answer;
        if (std::string(entry.answerScheme) == "Basic ") {
            EXPECT_EQ(answer, "Basic " + Base64Encode("admin:x"));
        } else {
            EXPECT_EQ(digestField(answer, "uri"), "/userlist.cgi?page=1");
        }
        EXPECT_EQ(requests[1].requestLine(), "GET /userlist.cgi?page=1 HTTP/1.1");
        EXPECT_EQ(server.connectionCount(), 1) << "the 401's body is read, so its connection carries the answer";
        char body[32] = {};
        size_t read = 0;
        ASSERT_TRUE(http.ReadChunk(body, sizeof body, read));
        EXPECT_EQ(std::string(body, read), "user1=admin");
    }
}

TEST(HttpGetStatus, statusDecidesResultAndQueriesReadTheResponse)
{
    const struct
    {
        const char* response;
        bool result;
        int status;
    } cases[] = {
        { "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", true, 200 },
        { "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", true, 404 },
        { "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n", true, 500 },
        { "HTTP/1.1 409 Conflict\r\nContent-Length: 0\r\n\r\n", false, 409 },
        { "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"cam\"\r\nContent-Length: 0\r\n\r\n", false,
            401 },
        { "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true, 200 },
        { "HTTP/1.0 200 OK\r\n\r\nbody until close", true, 200 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.response);
        RawResponse response;
        response.bytes = entry.response;
        response.kind = RawResponse::Kind::Trickle; // then close: HTTP/1.0 bodies end there
        RawHttpServer server(always(response));
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
        EXPECT_EQ(http.SendGet("/a"), entry.result);
        int status = 0;
        ASSERT_TRUE(http.QueryStatusCode(status));
        EXPECT_EQ(status, entry.status);
        EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthBasic);
    }
    HttpGet idle;
    int status = 0;
    std::string cookie;
    EXPECT_FALSE(idle.QueryStatusCode(status)) << "no request yet";
    EXPECT_FALSE(idle.QuerySetCookie(cookie));
}

TEST(HttpGetStatus, refusedConnectionFailsAndLeavesNoRequest)
{
    int port;
    {
        RawHttpServer server(always(RawResponse::make(200, "")));
        port = server.port();
    }
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, port));
    EXPECT_FALSE(http.SendGet("/"));
    char buffer[16];
    size_t read = 0;
    EXPECT_FALSE(http.ReadChunk(buffer, sizeof buffer, read));
}

TEST(HttpGetCookie, firstSetCookieIsReadWholeUpTo4096Characters)
{
    const std::string longCookie = "quelmo=" + std::string(3000, 'c') + "; Path=/";
    const struct
    {
        std::string headerLines;
        bool found;
        std::string value;
    } cases[] = {
        { "Set-Cookie: quelmo=abc123; Path=/\r\n", true, "quelmo=abc123; Path=/" },
        { "set-cookie:quelmo=x\r\nSet-Cookie: second=y\r\n", true, "quelmo=x" },
        { "Set-Cookie: " + longCookie + "\r\n", true, longCookie },
        { "Set-Cookie: " + std::string(5000, 'z') + "\r\n", false, "" },
        { "X-Other: 1\r\n", false, "" },
    };
    for (const auto& entry : cases) {
        RawHttpServer server(always(RawResponse::make(200, "{}", entry.headerLines)));
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", "", "", 3000, 0, server.port()));
        http.SetAuthMode(HttpGet::AuthNone);
        ASSERT_TRUE(http.Post("/api/login", "Content-Type: application/x-www-form-urlencoded", "a=b"));
        std::string cookie;
        EXPECT_EQ(http.QuerySetCookie(cookie), entry.found) << entry.headerLines.substr(0, 40);
        EXPECT_EQ(cookie, entry.value);
    }
}

TEST(HttpGetPost, nonAsciiBodyIsSentWholeWithExtraHeaderLines)
{
    RawHttpServer server(always(RawResponse::make(200, "result=0")));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "", "", 3000, 0, server.port()));
    http.SetAuthMode(HttpGet::AuthNone);
    const std::string body = "name=J\xc3\xbcrgen&city=\xe6\x9d\xb1\xe4\xba\xac";
    ASSERT_TRUE(
        http.Post("/portal/bind", "Cookie: quelmo=abc\r\nContent-Type: application/x-www-form-urlencoded\r\n", body));
    char buffer[64] = {};
    size_t read = 0;
    ASSERT_TRUE(http.ReadChunk(buffer, sizeof buffer, read));
    EXPECT_EQ(std::string(buffer, read), "result=0");

    const RawRequest request = server.requests().at(0);
    EXPECT_EQ(request.requestLine(), "POST /portal/bind HTTP/1.1");
    EXPECT_EQ(request.header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.header("Cookie"), "quelmo=abc");
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_FALSE(request.hasHeader("Expect"));

    EXPECT_FALSE(http.Post("/portal/bind", "Cookie: a\nX-Injected: 1", body)) << "a bare LF inside a line";
    EXPECT_FALSE(http.Post("/portal/bind", "not a header", body));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(HttpGetPath, bytesAUrlCannotCarryAreSentEncoded)
{
    RawHttpServer server(always(RawResponse::make(200, "")));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "", "", 3000, 0, server.port()));
    ASSERT_TRUE(http.SendGet("/cgi-bin/set?name=a b#c&pw=%41&t=\xc3\xbc/../x"));
    EXPECT_EQ(server.requests().at(0).requestLine(), "GET /cgi-bin/set?name=a%20b%23c&pw=%41&t=%C3%BC/../x HTTP/1.1");
    EXPECT_FALSE(http.SendGet("no-slash"));
}

// Recorder and camera credentials must not leave the LAN: unless told otherwise, requests ignore the
// system's proxy settings.
TEST(HttpGetProxy, onlyAConnectionOpenedForTheSystemsProxyUsesIt)
{
    RawHttpServer proxy(always(RawResponse::make(200, "via proxy")));
    RawHttpServer device(always(RawResponse::make(200, "direct")));
    struct ProxySetting
    {
        explicit ProxySetting(const std::string& url) { ::setenv("http_proxy", url.c_str(), 1); }
        ~ProxySetting() { ::unsetenv("http_proxy"); }
    } setting("http://127.0.0.1:" + std::to_string(proxy.port()));
    const struct
    {
        const char* name;
        bool systemProxy;
        const char* body;
    } cases[] = { { "default", false, "direct" }, { "system proxy", true, "via proxy" } };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        HttpGet http;
        ASSERT_TRUE(entry.systemProxy ? http.Open("127.0.0.1", "admin", "", 3000, 0, device.port(),
                        HttpGet::CertificateCheck::Verified, HttpGet::ProxyUse::System)
                                      : http.Open("127.0.0.1", "admin", "", 3000, 0, device.port()));
        std::vector<char> buffer(64, '\0');
        size_t size = buffer.size();
        EXPECT_TRUE(http.FetchAll("/config/storage", buffer.data(), size));
        EXPECT_EQ(std::string(buffer.data(), size), entry.body);
    }
    EXPECT_EQ(device.requests().size(), 1u);
    ASSERT_EQ(proxy.requests().size(), 1u);
    EXPECT_EQ(proxy.requests()[0].requestLine(),
        "GET http://127.0.0.1:" + std::to_string(device.port()) + "/config/storage HTTP/1.1");
}

TEST(HttpGetFetchAll, capDropsTheChunkThatWouldFillTheBuffer)
{
    std::string body(100000, '\0');
    for (size_t i = 0; i < body.size(); ++i) {
        body[i] = char('a' + i % 26);
    }
    RawHttpServer server(always(RawResponse::make(200, body)));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    std::vector<char> buffer(64000, '\0');
    size_t size = buffer.size();
    ASSERT_TRUE(http.FetchAll("/big", buffer.data(), size));
    EXPECT_LT(size, 64000u);
    EXPECT_GE(size, 64000u - 8200u) << "only the last chunk (at most 8200 bytes) is dropped";
    EXPECT_EQ(std::string(buffer.data(), size), body.substr(0, size));
    EXPECT_EQ(buffer[size], '\0');

    // A body that fits is stored whole; the buffer keeps a terminator.
    RawHttpServer small(always(RawResponse::make(200, "status=ok\r\n")));
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, small.port()));
    std::fill(buffer.begin(), buffer.end(), '\0');
    size = buffer.size();
    ASSERT_TRUE(http.FetchAll("/small", buffer.data(), size));
    EXPECT_STREQ(buffer.data(), "status=ok\r\n");
    EXPECT_EQ(size, 11u);
}

TEST(HttpGetStream, neverEndingBodyIsReadPieceByPieceAlsoWithPauses)
{
    RawResponse response;
    response.kind = RawResponse::Kind::Endless;
    response.bytes = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n\r\n";
    response.pieces = { std::string(4096, 'j') };
    RawHttpServer server(always(response));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    ASSERT_TRUE(http.SendGet("/cgi-bin/stream"));
    size_t total = 0;
    char chunk[8200];
    for (int i = 0; total < 8 * 1024 * 1024; ++i) {
        size_t read = 0;
        ASSERT_TRUE(http.ReadChunk(chunk, sizeof chunk, read)) << "after " << total << " bytes";
        ASSERT_GT(read, 0u);
        total += read;
        if (i < 5) {
            // A slow reader: the transfer waits (bounded buffer), then goes on.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    EXPECT_TRUE(http.Close());
    size_t read = 0;
    EXPECT_FALSE(http.ReadChunk(chunk, sizeof chunk, read));
}

TEST(HttpGetTimeout, receiveLimitIsLongestSilenceNotWholeTransfer)
{
    // A body that keeps coming in small pieces for longer than the limit is read to its end.
    RawResponse trickle;
    trickle.kind = RawResponse::Kind::Trickle;
    trickle.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n";
    trickle.pieces = { "a", "b", "c", "d", "e", "f", "g", "h" };
    trickle.pauseMs = 300;
    RawHttpServer slow(always(trickle));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, slow.port()));
    const auto start = Clock::now();
    std::vector<char> buffer(64, '\0');
    size_t size = buffer.size();
    ASSERT_TRUE(http.FetchAll("/slow", buffer.data(), size));
    EXPECT_EQ(std::string(buffer.data(), size), "abcdefgh");
    EXPECT_GT(secondsSince(start), 2.0);

    // Silence after the headers ends the read at the limit.
    RawResponse quiet;
    quiet.kind = RawResponse::Kind::Silent;
    quiet.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial";
    RawHttpServer stalled(always(quiet));
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, stalled.port()));
    ASSERT_TRUE(http.SendGet("/stalled"));
    char chunk[256];
    size_t read = 0;
    ASSERT_TRUE(http.ReadChunk(chunk, sizeof chunk, read));
    EXPECT_EQ(std::string(chunk, read), "partial");
    const auto readStart = Clock::now();
    EXPECT_FALSE(http.ReadChunk(chunk, sizeof chunk, read));
    const double waited = secondsSince(readStart);
    EXPECT_GT(waited, 0.9);
    EXPECT_LT(waited, 6.0);

    // Silence before the headers fails the send at the limit.
    RawResponse mute;
    mute.kind = RawResponse::Kind::Silent;
    RawHttpServer silent(always(mute));
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, silent.port()));
    const auto sendStart = Clock::now();
    EXPECT_FALSE(http.SendGet("/silent"));
    EXPECT_GT(secondsSince(sendStart), 0.9);
    EXPECT_LT(secondsSince(sendStart), 6.0);
    int status = 0;
    EXPECT_FALSE(http.QueryStatusCode(status));
}

TEST(HttpGetTimeout, aPeerThatNeverFallsSilentIsCutAtTheAnswerLimit)
{
    // Each peer sends a byte or a line every 100-300 ms, well inside the 1000 ms receive limit, and never ends.
    auto endless = [](const std::string& head, const std::string& piece, int pauseMs) {
        RawResponse response;
        response.kind = RawResponse::Kind::Endless;
        response.bytes = head;
        response.pieces = { piece };
        response.pauseMs = pauseMs;
        return response;
    };
    const std::string longBody = "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\n";
    struct Case
    {
        const char* name;
        RawResponse response;
        uint32_t answerLimitMs; // 0: what Open sets for the 1000 ms time-out
        bool stream; // read as a body that may last forever
        double atLeastS, atMostS; // when the request fails; a stream instead is still read after atMostS
    };
    const Case cases[] = {
        { "body a byte at a time", endless(longBody, "a", 100), 2000, false, 1.8, 4.0 },
        { "headers a line at a time", endless("HTTP/1.1 200 OK\r\n", "X-Pad: 1\r\n", 100), 2000, false, 1.8, 4.0 },
        { "the limit Open sets", endless(longBody, "a", 300), 0, false, 9.5, 14.0 },
        { "headers of a stream", endless("HTTP/1.1 200 OK\r\n", "X-Pad: 1\r\n", 100), 2000, true, 1.8, 4.0 },
        { "the body of a stream", endless(longBody, "j", 100), 2000, true, 0, 3.0 },
    };
    for (const Case& c : cases) {
        RawHttpServer server(always(c.response));
        HttpGet http;
        ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, server.port())) << c.name;
        if (c.answerLimitMs != 0) {
            http.SetAnswerLimit(c.answerLimitMs);
        }
        if (c.stream) {
            http.AllowEndlessBody();
        }
        const auto start = Clock::now();
        std::vector<char> buffer(64, '\0');
        size_t size = buffer.size();
        bool ok = c.stream ? http.SendGet("/answer") : http.FetchAll("/answer", buffer.data(), size);
        if (ok && c.stream) {
            char chunk[64];
            size_t read = 0;
            while (ok && secondsSince(start) < c.atMostS) {
                ok = http.ReadChunk(chunk, sizeof chunk, read) && read > 0;
            }
            EXPECT_TRUE(ok) << c.name << ": a stream is read past the answer limit";
            continue;
        }
        EXPECT_FALSE(ok) << c.name;
        EXPECT_GE(secondsSince(start), c.atLeastS) << c.name;
        EXPECT_LE(secondsSince(start), c.atMostS) << c.name;
    }
}

TEST(HttpGetClose, closeFromAnotherThreadEndsABlockedRequestPromptly)
{
    RawResponse mute;
    mute.kind = RawResponse::Kind::Silent;
    RawHttpServer silent(always(mute));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 30000, 0, silent.port()));
    std::atomic<int64_t> returnedAt { 0 };
    auto worker = std::async(std::launch::async, [&] {
        bool result = http.SendGet("/never");
        returnedAt = Clock::now().time_since_epoch().count();
        return result;
    });
    while (silent.requests().empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto closeAt = Clock::now();
    EXPECT_TRUE(http.Close());
    EXPECT_FALSE(worker.get());
    const double latencyMs
        = std::chrono::duration<double, std::milli>(Clock::duration(returnedAt.load()) - closeAt.time_since_epoch())
              .count();
    std::printf("Close -> SendGet returned false after %.1f ms\n", latencyMs);
    EXPECT_LT(latencyMs, 1000.0);

    EXPECT_FALSE(http.SendGet("/after-close")) << "closed until the next Open";
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 1000, 0, silent.port()));
}

TEST(HttpGetClose, closeFromAnotherThreadEndsAStreamRead)
{
    RawResponse response;
    response.kind = RawResponse::Kind::Silent;
    response.bytes = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n\r\n";
    RawHttpServer server(always(response));
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 30000, 0, server.port()));
    ASSERT_TRUE(http.SendGet("/cgi-bin/stream"));
    auto closer = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return http.Close();
    });
    const auto start = Clock::now();
    char chunk[64];
    size_t read = 0;
    EXPECT_FALSE(http.ReadChunk(chunk, sizeof chunk, read));
    EXPECT_LT(secondsSince(start), 1.5);
    closer.get();
}

TEST(HttpGetClose, aCloseAtAnyMomentFailsEveryRequestUntilTheNextOpen)
{
    RawResponse stalled;
    stalled.kind = RawResponse::Kind::Silent;
    stalled.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial";
    RawHttpServer server([&](size_t, const RawRequest& request) {
        return request.requestLine().find("/stall") != std::string::npos ? stalled : RawResponse::make(200, "ok");
    });
    auto open = [&](HttpGet& http) { return http.Open("127.0.0.1", "admin", "", 30000, 0, server.port()); };
    enum class Moment { DuringOpen, AfterOpen, AfterARequest, DuringARead };
    const struct
    {
        const char* name;
        Moment moment;
    } cases[] = { { "during Open", Moment::DuringOpen }, { "after Open", Moment::AfterOpen },
        { "after a request", Moment::AfterARequest }, { "during a read", Moment::DuringARead } };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        HttpGet http;
        char chunk[64];
        size_t read = 0;
        std::future<bool> closer;
        if (entry.moment == Moment::DuringOpen) {
            // Open waits 50 ms before it settles the connection; the Close lands inside that wait and is
            // still waiting itself when the request below starts.
            closer = std::async(std::launch::async, [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return http.Close();
            });
            open(http);
        } else {
            ASSERT_TRUE(open(http));
        }
        if (entry.moment == Moment::AfterOpen) {
            http.Close();
        } else if (entry.moment == Moment::AfterARequest) {
            ASSERT_TRUE(http.SendGet("/a"));
            http.Close();
        } else if (entry.moment == Moment::DuringARead) {
            ASSERT_TRUE(http.SendGet("/stall"));
            ASSERT_TRUE(http.ReadChunk(chunk, sizeof chunk, read));
            closer = std::async(std::launch::async, [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return http.Close();
            });
            EXPECT_FALSE(http.ReadChunk(chunk, sizeof chunk, read));
        }
        const auto start = Clock::now();
        EXPECT_FALSE(http.SendGet("/a"));
        std::vector<char> buffer(64, '\0');
        size_t size = buffer.size();
        EXPECT_FALSE(http.GetAuthorised("/a", buffer.data(), &size));
        EXPECT_FALSE(http.Post("/a", "", "x=1"));
        EXPECT_FALSE(http.ReadChunk(chunk, sizeof chunk, read));
        EXPECT_LT(secondsSince(start), 1.0) << "each request must fail at once";
        if (closer.valid()) {
            closer.get();
        }

        ASSERT_TRUE(open(http));
        EXPECT_TRUE(http.SendGet("/a")) << "the next Open ends the closed state";
    }
}

// A Digest 401 reaching the class switches it; the retry is answered by our own header.
TEST(HttpGetDigest, rawDigestChallengeSwitchesModeAndCountsNonces)
{
    const std::string challenge
        = "HTTP/1.1 401 Unauthorized\r\n"
          "WWW-Authenticate: Digest realm=\"r\", nonce=\"n1\", algorithm=SHA-256, qop=\"auth\"\r\n"
          "WWW-Authenticate: Digest realm=\"HXT Recorder\", nonce=\""
        + std::string(600, 'f')
        + "\", qop=\"auth,auth-int\", opaque=\"op\"\r\n"
          "Content-Length: 0\r\n\r\n";
    RawHttpServer server([&](size_t index, const RawRequest&) {
        RawResponse response;
        response.bytes = index == 0 ? challenge : "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
        return response;
    });
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    EXPECT_FALSE(http.SendGet("/cgi-bin/a?x=1"));
    EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthDigest);
    EXPECT_TRUE(http.SendGet("/cgi-bin/a?x=1"));
    EXPECT_TRUE(http.SendGet("/cgi-bin/a?x=1"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    const std::string first = requests[1].header("Authorization");
    EXPECT_EQ(first.rfind("Digest username=\"admin\",realm=\"HXT Recorder\",nonce=\"ffff", 0), 0u) << first;
    EXPECT_EQ(digestField(first, "uri"), "/cgi-bin/a?x=1");
    EXPECT_EQ(digestField(first, "nc"), "00000001");
    EXPECT_EQ(digestField(first, "qop"), "auth");
    EXPECT_EQ(digestField(first, "opaque"), "op");
    EXPECT_EQ(digestField(requests[2].header("Authorization"), "nc"), "00000002");

    // The next Open forgets the challenge.
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthBasic);
}

class MhdDigest : public ::testing::Test
{
protected:
    static constexpr const char* kRealm = "HXT Recorder";

    // Protects every path with libmicrohttpd's Digest check for admin and `password`.
    explicit MhdDigest()
        : server([this](MHD_Connection* connection, const MhdRequest&) {
            MHD_Result queued = MHD_NO;
            if (!MhdServer::digestAuthorised(connection, kRealm, "admin", password.load(), queued)) {
                return queued;
            }
            return MhdServer::reply(connection, 200, "allowed");
        })
    {
    }

    std::atomic<const char*> password { "" }; // set by each test before its first request
    MhdServer server;
};

TEST_F(MhdDigest, emptyPasswordPeerIsAnsweredByOurDigestAfterTheChallenge)
{
    password = "";
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    EXPECT_FALSE(http.SendGet("/config/storage"));
    EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthDigest);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(http.SendGet("/config/storage")) << "request " << i + 2;
    }
    char body[32] = {};
    size_t read = 0;
    ASSERT_TRUE(http.ReadChunk(body, sizeof body, read));
    EXPECT_EQ(std::string(body, read), "allowed");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].authorization, "Basic " + Base64Encode("admin:"));
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(digestField(requests[i].authorization, "nc"), "0000000" + std::to_string(i));
    }
}

TEST_F(MhdDigest, nonEmptyPasswordAfterAuthNoneAndWrongPasswordStaysRefused)
{
    password = "S3cret pass";
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "S3cret pass", 3000, 0, server.port()));
    http.SetAuthMode(HttpGet::AuthNone);
    EXPECT_FALSE(http.SendGet("/config/time"));
    EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthDigest);
    EXPECT_TRUE(http.SendGet("/config/time"));

    HttpGet wrong;
    ASSERT_TRUE(wrong.Open("127.0.0.1", "admin", "", 3000, 0, server.port()));
    EXPECT_FALSE(wrong.SendGet("/config/time"));
    EXPECT_FALSE(wrong.SendGet("/config/time")) << "a wrong password is refused by the server's check";
}

TEST_F(MhdDigest, nonEmptyPasswordAnswersTheChallengeWithoutAPreemptiveHeader)
{
    password = "x";
    HttpGet http;
    ASSERT_TRUE(http.Open("127.0.0.1", "admin", "x", 3000, 0, server.port()));
    EXPECT_TRUE(http.SendGet("/config/disk"));
    EXPECT_EQ(http.GetAuthMode(), HttpGet::AuthBasic);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].authorization, "");
    EXPECT_EQ(requests[1].authorization.rfind("Digest ", 0), 0u);
}

// Every caller that may meet a peer with an empty password uses GetAuthorised. Against both Digest-only
// servers: the challenge is answered on the second request; a wrong password is refused after two.
TEST(HttpGetAuthorised, digestOnlyServersAreAnsweredOnTheSecondRequestAndAWrongPasswordCostsTwo)
{
    const struct
    {
        const char* name;
        const char* serverPassword;
        const char* password;
        bool fetch;
        bool result;
    } cases[] = {
        { "empty password, send", "", "", false, true },
        { "empty password, fetch", "", "", true, true },
        { "wrong empty password", "S3cret", "", true, false },
        { "wrong password, answered within the request", "S3cret", "wrong", false, false },
        { "right password, answered within the request", "S3cret", "S3cret", true, true },
    };
    const std::map<std::string, std::string> files
        = { { "/config/storage", "disk=1\r\n" }, { "/config/time", "time=1\r\n" } };
    for (PeerKind kind : { PeerKind::Microhttpd, PeerKind::Lighttpd }) {
        for (const auto& entry : cases) {
            SCOPED_TRACE(std::string(PeerName(kind)) + ": " + entry.name);
            std::string failure;
            const auto peer = StartDigestPeer(kind, entry.serverPassword, files, failure);
            if (!peer) {
                GTEST_SKIP() << failure;
            }
            HttpGet http;
            ASSERT_TRUE(http.Open("127.0.0.1", "admin", entry.password, 3000, 0, peer->port()));
            std::vector<char> buffer(64, '\0');
            size_t size = buffer.size();
            EXPECT_EQ(entry.fetch ? http.GetAuthorised("/config/storage", buffer.data(), &size)
                                  : http.GetAuthorised("/config/storage"),
                entry.result);
            auto requests = peer->requests();
            ASSERT_EQ(requests.size(), 2u);
            EXPECT_EQ(requests[1].authorization.rfind("Digest ", 0), 0u) << requests[1].authorization;
            if (!entry.result) {
                continue;
            }
            int status = 0;
            ASSERT_TRUE(http.QueryStatusCode(status));
            EXPECT_EQ(status, 200);
            if (entry.fetch) {
                EXPECT_EQ(std::string(buffer.data(), size), "disk=1\r\n");
            }
            if (*entry.password != '\0') {
                continue; // with a password each request starts without credentials
            }
            EXPECT_EQ(requests[0].authorization, "Basic " + Base64Encode("admin:"));
            // Another path on the same object goes out with Digest at once; libmicrohttpd binds nonces to
            // paths and renews an outdated one with stale=true, which is answered once more.
            EXPECT_TRUE(http.GetAuthorised("/config/time"));
            requests = peer->requests();
            EXPECT_GE(requests.size(), 3u);
            EXPECT_LE(requests.size(), 4u);
            EXPECT_EQ(requests[2].authorization.rfind("Digest ", 0), 0u);
        }
    }
}

// A self-signed certificate for 127.0.0.1, made with the openssl tool for one test run.
struct SelfSignedCertificate
{
    SelfSignedCertificate()
    {
        char pattern[] = "/tmp/hxt-tls-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return;
        }
        dir = pattern;
        const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
                                    " -addext subjectAltName=IP:127.0.0.1 -keyout "
            + (dir / "key.pem").string() + " -out " + (dir / "cert.pem").string() + " >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            key = read(dir / "key.pem");
            certificate = read(dir / "cert.pem");
        }
    }
    ~SelfSignedCertificate()
    {
        if (!dir.empty()) {
            std::filesystem::remove_all(dir);
        }
    }
    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::filesystem::path dir;
    std::string key;
    std::string certificate;
};

TEST(HttpGetTls, recorderCertificateIsAcceptedAndPortalCertificateIsChecked)
{
    SelfSignedCertificate tls;
    if (tls.key.empty()) {
        GTEST_SKIP() << "the openssl tool could not make a certificate";
    }
    MhdServer server(
        [](MHD_Connection* connection, const MhdRequest& request) {
            MHD_Result queued = MHD_NO;
            if (request.url.rfind("/config/", 0) == 0
                && !MhdServer::digestAuthorised(connection, "HXT Recorder", "admin", "", queued)) {
                return queued;
            }
            return MhdServer::reply(connection, 200, "secure " + request.method);
        },
        tls.key, tls.certificate);

    HttpGet recorder;
    ASSERT_TRUE(recorder.Open("127.0.0.1", "admin", "", 3000, 1, server.port(), HttpGet::CertificateCheck::Relaxed));
    EXPECT_FALSE(recorder.SendGet("/config/quelmodiscovery")) << "Digest challenge over HTTPS";
    ASSERT_TRUE(recorder.SendGet("/config/quelmodiscovery"));
    char body[32] = {};
    size_t read = 0;
    ASSERT_TRUE(recorder.ReadChunk(body, sizeof body, read));
    EXPECT_EQ(std::string(body, read), "secure GET");

    HttpGet portal;
    ASSERT_TRUE(portal.Open("127.0.0.1", "", "", 3000, 1, server.port(), HttpGet::CertificateCheck::Verified));
    portal.SetAuthMode(HttpGet::AuthNone);
    EXPECT_FALSE(portal.Post("/signin", "Content-Type: application/x-www-form-urlencoded", "a=b\r\n\r\n"))
        << "a certificate the system does not trust";
    EXPECT_FALSE(portal.SendGet("/"));
    EXPECT_EQ(server.requests().size(), 2u) << "nothing reached the server over the unverified connection";

    ASSERT_TRUE(portal.Open("127.0.0.1", "", "", 3000, 1, server.port(), HttpGet::CertificateCheck::Relaxed));
    portal.SetAuthMode(HttpGet::AuthNone);
    ASSERT_TRUE(portal.Post("/signin", "Content-Type: application/x-www-form-urlencoded", "a=b\r\n\r\n"));
    ASSERT_TRUE(portal.ReadChunk(body, sizeof body, read));
    EXPECT_EQ(std::string(body, read), "secure POST");
}

} // namespace
