#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, roundTripsEveryPlane)
{
    const std::u16string text = u"Pyccкий 繁體中文 Português \U0001F4F7";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xc3\xa9");
}

TEST(CodePage, malformedInputBecomesReplacementCharacters)
{
    struct Case
    {
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        { "a\xff"
          "b",
            u"a\uFFFDb" }, // invalid lead byte
        { "\xc3", u"\uFFFD" }, // truncated sequence at the end
        { "\xc0\xaf", u"\uFFFD" }, // overlong "/"
        { "\xed\xa0\x80", u"\uFFFD" }, // encoded surrogate
        { "\xe4\xb8"
          "x",
            u"\uFFFDx" }, // sequence cut by an ASCII byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << c.bytes;
    }
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}
