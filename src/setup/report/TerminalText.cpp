#include "setup/report/TerminalText.h"

#include "platform/CodePage.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

} // namespace

std::string TerminalLine(const std::string& text)
{
    std::u16string units = Utf8ToUtf16(text);
    for (char16_t& unit : units) {
        if (unit == u'\t' || unit == u'\n' || unit == u'\r')
            unit = u' ';
        else if (IsControl(unit))
            unit = kReplacement;
    }
    return Utf16ToUtf8(units);
}

std::string TerminalLines(const std::string& text)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool lineEnd = end != std::string::npos;
        if (!lineEnd)
            end = text.size();
        size_t contentEnd = end;
        if (lineEnd && contentEnd > start && text[contentEnd - 1] == '\r')
            --contentEnd;
        out += TerminalLine(text.substr(start, contentEnd - start));
        if (lineEnd)
            out += '\n';
        start = end + 1;
    }
    return out;
}
