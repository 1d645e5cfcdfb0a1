// Our Digest answer checked by a second server we did not write: lighttpd's mod_auth, with a realm that
// holds a space.
#include "LighttpdServer.h"
#include "net/HttpGet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kRealm = "HXT Recorder";

class LighttpdDigest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!LighttpdServer::Available()) {
            GTEST_SKIP() << "lighttpd is not installed";
        }
        server = std::make_unique<LighttpdServer>(kRealm,
            std::map<std::string, std::string> { { "admin", "pa55 word" }, { "guest", "" } },
            std::map<std::string, std::string> { { "/config/storage", "disk=1\r\n" } });
        ASSERT_TRUE(server->Started()) << server->Failure();
    }

    std::unique_ptr<LighttpdServer> server;
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
        ASSERT_TRUE(http.Open("127.0.0.1", account.user, account.password, 3000, 0, server->port()));
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
    ASSERT_TRUE(wrong.Open("127.0.0.1", "admin", "wrong", 3000, 0, server->port()));
    wrong.SetAuthMode(HttpGet::AuthNone);
    EXPECT_FALSE(wrong.SendGet("/config/storage"));
    EXPECT_FALSE(wrong.SendGet("/config/storage"));
}

} // namespace
