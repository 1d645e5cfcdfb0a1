#include "device/PortalForms.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::string_view kSpecials = "()<>@,;:\\\"[]";

bool printable(unsigned char c)
{
    return c >= 0x21 && c <= 0x7E;
}

bool special(unsigned char c)
{
    return kSpecials.find(static_cast<char>(c)) != std::string_view::npos;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view word)
{
    if (at > text.size() || text.size() - at < word.size()) {
        return false;
    }
    for (size_t i = 0; i < word.size(); ++i) {
        if (lower(text[at + i]) != word[i]) {
            return false;
        }
    }
    return true;
}

bool asciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool asciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendUtf8(std::string& out, uint32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = 0xFFFD;
    }
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A character reference at text[at] ("&amp;", "&#39;", "&#x2F;"): appends what it stands for and returns its
// length, or 0 when it is none we know (the "&" then stays as it is).
size_t decodeReference(std::string_view text, size_t at, std::string& out)
{
    // Format: "&" name ";" or "&#" digits ";" or "&#x" hex digits ";", at most 10 characters between.
    const size_t end = text.find(';', at);
    if (end == std::string_view::npos || end - at < 3 || end - at > 11) {
        return 0;
    }
    const std::string_view body = text.substr(at + 1, end - at - 1);
    static constexpr std::pair<std::string_view, std::string_view> named[]
        = { { "amp", "&" }, { "lt", "<" }, { "gt", ">" }, { "quot", "\"" }, { "apos", "'" }, { "nbsp", " " } };
    for (const auto& [name, value] : named) {
        if (body == name) {
            out += value;
            return end - at + 1;
        }
    }
    if (body.front() != '#') {
        return 0;
    }
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) {
        return 0;
    }
    uint32_t code = 0;
    for (char c : digits) {
        int value = -1;
        if (asciiDigit(c)) {
            value = c - '0';
        } else if (hex && lower(c) >= 'a' && lower(c) <= 'f') {
            value = lower(c) - 'a' + 10;
        }
        if (value < 0) {
            return 0;
        }
        code = std::min<uint32_t>(code * (hex ? 16 : 10) + static_cast<uint32_t>(value), 0x110000);
    }
    appendUtf8(out, code);
    return end - at + 1;
}

// The name of the tag that starts at text[at] (after "<" or "</"), lower-case.
std::string tagName(std::string_view text, size_t at)
{
    std::string name;
    while (at < text.size() && (asciiLetter(text[at]) || asciiDigit(text[at])) && name.size() < 16) {
        name += lower(text[at++]);
    }
    return name;
}

// Where the tag that starts at text[at] ("<") ends: just past its ">" (quoted attribute values may hold ">").
size_t tagEnd(std::string_view text, size_t at)
{
    char quote = 0;
    for (size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

bool separatesWords(const std::string& name)
{
    static constexpr std::string_view blocks[] = { "br", "p", "div", "li", "tr", "td", "th", "h1", "h2", "h3", "h4",
        "h5", "h6", "table", "ul", "ol", "hr", "body", "html", "title", "pre", "section", "header", "footer" };
    return std::find(std::begin(blocks), std::end(blocks), name) != std::end(blocks);
}

// The text of markup: elements that show nothing (head, script, style) and comments dropped, tags that
// separate blocks turned into spaces, the others dropped, character references decoded.
std::string markupText(std::string_view text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '&') {
            const size_t used = decodeReference(text, i, out);
            if (used > 0) {
                i += used;
                continue;
            }
            out += c;
            ++i;
            continue;
        }
        if (c != '<' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const char next = text[i + 1];
        if (text.substr(i, 4) == "<!--") {
            const size_t close = text.find("-->", i + 4);
            i = close == std::string_view::npos ? text.size() : close + 3;
            continue;
        }
        if (next == '!' || next == '?') {
            i = tagEnd(text, i);
            continue;
        }
        const bool closing = next == '/';
        if (!closing && !asciiLetter(next)) {
            out += c; // a "<" that opens no tag is text
            ++i;
            continue;
        }
        const std::string name = tagName(text, i + (closing ? 2 : 1));
        const size_t after = tagEnd(text, i);
        if (!closing && (name == "head" || name == "script" || name == "style")
            && text.substr(i, after - i).find("/>") == std::string_view::npos) {
            // Skip to the element's end tag, "</name" followed by anything up to ">".
            size_t search = after;
            size_t endTag = std::string_view::npos;
            while (search < text.size()) {
                const size_t open = text.find("</", search);
                if (open == std::string_view::npos) {
                    break;
                }
                if (startsWithNoCase(text, open + 2, name)) {
                    endTag = open;
                    break;
                }
                search = open + 2;
            }
            i = endTag == std::string_view::npos ? text.size() : tagEnd(text, endTag);
            out += ' ';
            continue;
        }
        if (separatesWords(name)) {
            out += ' ';
        }
        i = after;
    }
    return out;
}

} // namespace

bool IsValidEmailAddress(std::string_view address)
{
    // Local part: characters up to the first "@" outside a quoted string.
    size_t i = 0;
    bool at = false;
    for (; i < address.size(); ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (c == '@') {
            at = true;
            break;
        }
        if (c == '"' && (i == 0 || address[i - 1] == '.' || address[i - 1] == '"')) {
            // Quoted string: to the next '"'; printable ASCII and backslash-space pairs inside.
            size_t j = i + 1;
            for (; j < address.size() && address[j] != '"'; ++j) {
                if (address[j] == '\\' && j + 1 < address.size() && address[j + 1] == ' ') {
                    ++j;
                } else if (!printable(static_cast<unsigned char>(address[j]))) {
                    return false;
                }
            }
            if (j >= address.size()) {
                return false; // never closed
            }
            if (j + 1 >= address.size() || (address[j + 1] != '@' && address[j + 1] != '.')) {
                return false;
            }
            i = j;
            continue;
        }
        if (!printable(c) || special(c)) {
            return false;
        }
    }
    const std::string_view local = address.substr(0, i);
    if (!at || local.empty() || local.back() == '.') {
        return false;
    }
    const std::string_view domain = address.substr(i + 1);
    if (domain.empty() || domain.front() == '.' || contains(domain, "..") || !contains(domain, ".")) {
        return false;
    }
    return std::all_of(domain.begin(), domain.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return printable(byte) && !special(byte);
    });
}

bool IsPortalHostName(std::string_view host)
{
    if (host.empty() || host.size() > 253) {
        return false;
    }
    // Format: label *("." label); label = 1*63(letter / digit / "-"), not starting or ending with "-".
    bool allDigits = true;
    int labels = 0;
    bool numbersFit = true;
    size_t start = 0;
    while (true) {
        size_t end = host.find('.', start);
        if (end == std::string_view::npos) {
            end = host.size();
        }
        const std::string_view label = host.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
            return false;
        }
        int number = 0;
        for (char c : label) {
            if (!asciiLetter(c) && !asciiDigit(c) && c != '-') {
                return false;
            }
            allDigits = allDigits && asciiDigit(c);
            number = asciiDigit(c) && number <= 255 ? number * 10 + (c - '0') : 256;
        }
        // An address number: 0 to 255, no leading zero.
        numbersFit = numbersFit && number <= 255 && (label.size() == 1 || label.front() != '0');
        ++labels;
        if (end == host.size()) {
            break;
        }
        start = end + 1;
    }
    // A name of numbers alone is read as an address: it must be one.
    return !allDigits || (labels == 4 && numbersFit);
}

bool PortalAnswerIsSuccess(std::string_view answer)
{
    return contains(answer, "success");
}

bool BindAnswerIsSuccess(std::string_view answer, std::string_view portalNumber)
{
    return !portalNumber.empty() && contains(answer, portalNumber) && contains(answer, "HXT-914Q");
}

bool IsNetworkFailureAnswer(std::string_view answer)
{
    return Utf8Length(answer) < 5;
}

bool AnswerMarksEmail(std::string_view answer)
{
    return contains(answer, "SIGNUPERR001") || contains(answer, "SIGNUPERR006");
}

bool AnswerMarksPassword(std::string_view answer)
{
    return contains(answer, "SIGNUPERR002") || contains(answer, "SIGNUPERR003") || contains(answer, "SIGNUPERR004");
}

size_t Utf8Length(std::string_view text)
{
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PortalAnswerAsPlainText(std::string_view answer)
{
    const size_t first = answer.find_first_not_of(" \t\r\n");
    const std::string text
        = first != std::string_view::npos && answer[first] == '<' ? markupText(answer) : std::string(answer);

    // Control characters are spaces; a run of spaces is one; no space at either end.
    std::string flat;
    flat.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char shown = byte < 0x20 || byte == 0x7F ? ' ' : c;
        if (shown == ' ' && (flat.empty() || flat.back() == ' ')) {
            continue;
        }
        flat += shown;
    }
    while (!flat.empty() && flat.back() == ' ') {
        flat.pop_back();
    }

    if (Utf8Length(flat) <= kShownAnswerLimit) {
        return flat;
    }
    // Keep kShownAnswerLimit - 1 characters, cut before the lead byte of the next one.
    size_t characters = 0;
    size_t cut = 0;
    for (; cut < flat.size(); ++cut) {
        if ((static_cast<unsigned char>(flat[cut]) & 0xC0) != 0x80 && characters++ == kShownAnswerLimit - 1) {
            break;
        }
    }
    return flat.substr(0, cut) + "\xE2\x80\xA6";
}
