#include "net/ResponseHeaders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ResponseHeaders feed(const std::vector<std::string>& lines)
{
    ResponseHeaders headers;
    for (const std::string& line : lines) {
        headers.AddLine(line + "\r\n");
    }
    return headers;
}

TEST(ResponseHeaders, statusLineTable)
{
    const struct
    {
        const char* line;
        int status;
    } cases[] = {
        { "HTTP/1.1 200 OK", 200 },
        { "HTTP/1.0 404 Not Found", 404 },
        { "HTTP/2 401", 401 },
        { "HTTP/1.1 409 ", 409 },
        { "HTTP/1.1 2000 Big", 0 },
        { "HTTP/1.1 20 Short", 0 },
        { "HTTP/1.1 abc OK", 0 },
        { "HTTP/ 200 OK", 0 },
        { "HTTP/1.1 099 Low", 0 },
        { "HTTP/1.1", 0 },
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(feed({ entry.line, "" }).StatusCode(), entry.status) << entry.line;
    }
}

TEST(ResponseHeaders, newStatusLineReplacesInterimAndRetriedResponses)
{
    ResponseHeaders headers = feed({ "HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Digest realm=\"a\", nonce=\"1\"",
        "Set-Cookie: old=1", "", "HTTP/1.1 200 OK", "Content-Length: 0" });
    EXPECT_FALSE(headers.Complete());
    headers.AddLine("\r\n");
    EXPECT_TRUE(headers.Complete());
    EXPECT_EQ(headers.StatusCode(), 200);
    EXPECT_EQ(headers.WwwAuthenticate(), "");
    std::string cookie;
    EXPECT_FALSE(headers.SetCookie(cookie));
}

TEST(ResponseHeaders, challengesAreJoinedFoldedAndBounded)
{
    ResponseHeaders headers = feed({ "HTTP/1.1 401 Unauthorized", "www-authenticate:  Basic realm=\"cam\"  ",
        "WWW-Authenticate: Digest realm=\"cam\",", "\tnonce=\"abc\"", "" });
    EXPECT_EQ(headers.WwwAuthenticate(), "Basic realm=\"cam\", Digest realm=\"cam\", nonce=\"abc\"");

    // A line that would pass the bound is dropped whole; the challenges before it stay usable.
    const std::string big(ResponseHeaders::kMaxValue, 'n');
    headers = feed({ "HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Digest realm=\"r\", nonce=\"1\"",
        "WWW-Authenticate: Digest nonce=\"" + big + "\"", "" });
    EXPECT_EQ(headers.WwwAuthenticate(), "Digest realm=\"r\", nonce=\"1\"");

    // Lines after the blank line (trailers) do not count.
    headers = feed({ "HTTP/1.1 200 OK", "", "Set-Cookie: trailer=1" });
    std::string cookie;
    EXPECT_FALSE(headers.SetCookie(cookie));
}

} // namespace
