#pragma once
// The program's one text conversion module. Texts inside the core are UTF-8 in std::string; the
// "ANSI code page" of the wire formats (query strings, Base64 and hash inputs) is UTF-8 too, always,
// whatever the locale says. The language packs are UTF-16 LE, converted here and nowhere else.

#include <string>
#include <string_view>

// UTF-16 code units to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-8 bytes to UTF-16. Malformed, overlong or surrogate sequences become U+FFFD, one per bad byte run.
std::u16string Utf8ToUtf16(std::string_view text);

// The bytes that wire formats carry for a text: its UTF-8 form, unchanged.
inline std::string_view AnsiBytes(std::string_view text)
{
    return text;
}

// True when every byte is 7-bit ASCII.
bool IsAscii(std::string_view text);
