// What a device sends reaches a terminal as plain text: no byte of it can start a control sequence.
#include "setup/report/TerminalText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kReplacement = "\xef\xbf\xbd"; // U+FFFD

// True when the text holds no C0 control but those allowed, no DEL, and no C1 control in either form (a raw byte
// 0x80-0x9F, or its two-byte UTF-8 form U+0080-U+009F).
bool TerminalSafe(const std::string& text, const std::string& allowed = std::string())
{
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 || byte == 0x7f) && allowed.find(text[i]) == std::string::npos)
            return false;
        if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9f)
            return false;
    }
    return true;
}

struct HostileText
{
    const char* name;
    std::string text;
    std::string line; // TerminalLine's answer
};

TEST(TerminalText, everyControlSequenceOfADeviceIsDefused)
{
    const std::string r = kReplacement;
    const HostileText cases[] = {
        { "plain and wide", "QC-210 \xe6\x91\x84\xe5\x83\x8f\xe6\x9c\xba", "QC-210 \xe6\x91\x84\xe5\x83\x8f\xe6\x9c\xba" },
        { "ESC CSI clears the screen", "a\x1b[2Jb", "a" + r + "[2Jb" },
        { "ESC OSC sets the title, BEL ends it", "\x1b]0;owned\x07x", r + "]0;owned" + r + "x" },
        { "ESC OSC ended by ESC backslash", "\x1b]8;;http://x\x1b\\y", r + "]8;;http://x" + r + "\\y" },
        { "C1 CSI in UTF-8", "a\xc2\x9b" "2Jb", "a" + r + "2Jb" },
        { "C1 OSC and ST in UTF-8", "\xc2\x9d" "0;t\xc2\x9cz", r + "0;t" + r + "z" },
        { "C1 CSI as a raw byte", "a\x9b" "31mb", "a" + r + "31mb" },
        { "DEL and NUL-free C0", "a\x7f\x08\x05z", "a" + r + r + r + "z" },
        { "line ends and tabs", "a\r\nb\tc", "a  b c" },
        { "bad UTF-8", "a\xff\xfe", "a" + r + r },
    };
    for (const HostileText& c : cases) {
        const std::string line = TerminalLine(c.text);
        EXPECT_EQ(line, c.line) << c.name;
        EXPECT_TRUE(TerminalSafe(line)) << c.name;
    }
}

TEST(TerminalText, linesKeepTheirEndsAndNothingElse)
{
    const std::string r = kReplacement;
    EXPECT_EQ(TerminalLines("status=1\r\nname=\x1b[31mred\r\n\r\nlast"), "status=1\nname=" + r + "[31mred\n\nlast");
    EXPECT_EQ(TerminalLines("one\n"), "one\n");
    EXPECT_EQ(TerminalLines(""), "");
    const std::string hostile = "a\rb\x1b]0;t\x07\n\xc2\x9b" "2J\n\x9b" "1m\tz";
    const std::string lines = TerminalLines(hostile);
    EXPECT_TRUE(TerminalSafe(lines, "\n")) << lines;
    EXPECT_EQ(lines, "a b" + r + "]0;t" + r + "\n" + r + "2J\n" + r + "1m z");
}

} // namespace
