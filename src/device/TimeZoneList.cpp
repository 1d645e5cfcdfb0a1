#include "device/TimeZoneList.h"

#include "device/AnswerParser.h"
#include "device/RecorderCommands.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

std::vector<std::string> TimeZoneList::Parse(const char* data, size_t size)
{
    std::vector<std::string> names;
    if (data == nullptr)
        return names;
    size = std::min(size, kMaxAnswerBytes);
    std::u16string text = Utf8ToUtf16(std::string_view(data, size));
    // A zero byte damages only the name it stands in. The name keeps its place, as a zone's number is its
    // place in the list: dropping it would renumber every zone after it.
    std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
    if (text.size() <= kPrefixChars)
        return names;

    // prefix (13 characters) name ";" name ";" ... ; empty pieces and trailing separators are allowed
    const std::u16string_view list = std::u16string_view(text).substr(kPrefixChars);
    size_t start = 0;
    while (start <= list.size() && names.size() < kMaxZones) {
        size_t end = list.find(u';', start);
        if (end == std::u16string_view::npos)
            end = list.size();
        std::u16string_view piece = list.substr(start, end - start);
        while (!piece.empty() && IsLineEnd(piece.front()))
            piece.remove_prefix(1);
        // Cut before trimming the end, so a cut name never ends in a line end; a character of two units
        // is kept whole or not at all.
        if (piece.size() > kMaxNameChars) {
            piece = piece.substr(0, kMaxNameChars);
            if (piece.back() >= 0xD800 && piece.back() <= 0xDBFF)
                piece.remove_suffix(1);
        }
        while (!piece.empty() && IsLineEnd(piece.back()))
            piece.remove_suffix(1);
        if (!piece.empty())
            names.push_back(Utf16ToUtf8(piece));
        start = end + 1;
    }
    return names;
}

int TimeZoneList::CurrentZone(std::string_view answer, size_t zoneCount)
{
    AnswerParser parser(std::string(answer.substr(0, std::min(answer.size(), kMaxAnswerBytes))));
    parser.SplitPairs("\r\n");
    const std::string value = parser.Value("timezone");
    if (value.empty())
        return -1;
    const int32_t zone = AnswerNumber(value);
    if (zone < 1 || static_cast<size_t>(zone) > std::min(zoneCount, kMaxZones))
        return -1;
    return zone;
}
