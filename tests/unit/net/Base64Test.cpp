#include "net/Base64.h"

#include <gtest/gtest.h>

namespace {

TEST(Base64, encodesGroupsAndPadding)
{
    const struct
    {
        std::string input;
        const char* expected;
    } cases[] = {
        { "", "" }, { "a", "YQ==" }, { "ab", "YWI=" }, { "abc", "YWJj" }, { "admin:", "YWRtaW46" },
        { "Aladdin:open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ==" },
        { "\xc3\xa9", "w6k=" }, // UTF-8 bytes of a non-ASCII letter
        { "\xff\xfe\xfd", "//79" }, // the two last alphabet characters
        { std::string("a\0b", 3), "YQBi" }, // an embedded NUL is encoded, not a terminator
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(Base64Encode(entry.input), entry.expected) << "input of " << entry.input.size() << " bytes";
    }
}

} // namespace
