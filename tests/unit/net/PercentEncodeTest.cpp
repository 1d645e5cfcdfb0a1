#include "net/PercentEncode.h"

#include <gtest/gtest.h>

namespace {

TEST(PercentEncode, encodesOnlyWhatWouldChangeTheRequest)
{
    const struct
    {
        std::string value;
        const char* expected;
    } cases[] = {
        { "ab#cd12", "ab%23cd12" },
        { "first+last@example.com", "first%2Blast@example.com" },
        { "a&b=c", "a%26b=c" },
        { "100%", "100%25" },
        { "two words", "two%20words" },
        { "tab\there\r\n", "tab%09here%0D%0A" },
        { std::string("nul\0x", 5), "nul%00x" },
        { "del\x7f", "del%7F" },
        { "J\xc3\xbcrgen", "J%C3%BCrgen" },
        { "http://10.0.0.1:80/a?b=c;d,e'f(g)*!~_-.", "http://10.0.0.1:80/a?b=c;d,e'f(g)*!~_-." },
        { "YWRtaW46cGFzcw==", "YWRtaW46cGFzcw==" },
        { "a/b+c=", "a/b%2Bc=" },
        { "", "" },
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(PercentEncode(entry.value), entry.expected) << entry.value;
    }
}

} // namespace
