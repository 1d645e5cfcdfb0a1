#include "PackReader.h"

#include "platform/CodePage.h"

namespace {

// The pack's text as UTF-16, whatever its byte-order mark says it is stored in.
std::u16string decode(std::string_view bytes)
{
    auto unitsFrom = [&](size_t start, bool bigEndian) {
        std::u16string text;
        text.reserve((bytes.size() - start) / 2);
        // An odd last byte is not a whole code unit and is dropped.
        for (size_t i = start; i + 1 < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            text += bigEndian ? static_cast<char16_t>((first << 8) | second)
                              : static_cast<char16_t>((second << 8) | first);
        }
        return text;
    };
    if (bytes.starts_with("\xFF\xFE")) {
        return unitsFrom(2, false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return unitsFrom(2, true);
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    return Utf8ToUtf16(bytes);
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

std::u16string_view trim(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Simple case folding for the scripts that key and section names may use (Latin, Greek, Cyrillic).
char16_t fold(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)
        || (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x0400 && c <= 0x040F) {
        return static_cast<char16_t>(c + 0x50);
    }
    return c;
}

bool sameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::u16string_view stripQuotes(std::u16string_view value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::u16string_view bound(std::u16string_view value)
{
    if (value.size() <= PackReader::kMaxValueUnits) {
        return value;
    }
    value = value.substr(0, PackReader::kMaxValueUnits);
    // Never end on the first half of a surrogate pair.
    if (value.back() >= 0xD800 && value.back() <= 0xDBFF) {
        value.remove_suffix(1);
    }
    return value;
}

} // namespace

std::optional<std::string> PackReader::Lookup(
    std::string_view fileBytes, std::string_view section, std::string_view key)
{
    const std::u16string wantedSection = Utf8ToUtf16(section);
    const std::u16string wantedKeyText = Utf8ToUtf16(key);
    const std::u16string_view wantedKey = trim(wantedKeyText);
    const std::u16string_view sectionName = trim(wantedSection);
    if (wantedKey.empty()) {
        return std::nullopt;
    }

    const std::u16string text = decode(fileBytes);
    const std::u16string_view all(text);
    bool inSection = false;
    size_t pos = 0;
    // Lines: "[section]", "; comment", "key = value" or blank; ended by CR LF, LF or CR.
    while (pos < all.size()) {
        size_t end = all.find_first_of(u"\r\n", pos);
        if (end == std::u16string_view::npos) {
            end = all.size();
        }
        const std::u16string_view line = trim(all.substr(pos, end - pos));
        pos = end + ((end + 1 < all.size() && all[end] == u'\r' && all[end + 1] == u'\n') ? 2 : 1);

        if (line.empty() || line.front() == u';') {
            continue;
        }
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            const std::u16string_view name = line.substr(1, close == std::u16string_view::npos ? line.npos : close - 1);
            inSection = sameName(trim(name), sectionName);
            continue;
        }
        if (!inSection) {
            continue;
        }
        const size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos || !sameName(trim(line.substr(0, equals)), wantedKey)) {
            continue;
        }
        return Utf16ToUtf8(bound(stripQuotes(trim(line.substr(equals + 1)))));
    }
    return std::nullopt;
}
