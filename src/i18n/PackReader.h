#pragma once
// Reads one value from the bytes of a language pack (an INI file, normally UTF-16 LE with a byte-order
// mark) with the profile lookup rules that every text of the wizard relies on.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class PackReader
{
public:
    // Longest value returned, in UTF-16 code units; longer values are cut.
    static constexpr size_t kMaxValueUnits = 4095;

    // The value of key in section, as UTF-8, or nothing when the section or the key is missing.
    // Section and key names match regardless of letter case; blanks around the requested key and
    // around names and values in the file do not count; the first matching entry wins; lines starting
    // with ";" are comments; a value enclosed entirely in double or in single quotation marks loses
    // them. The encoding comes from the byte-order mark (UTF-16 LE or BE, UTF-8); without one the
    // bytes are read as UTF-8.
    static std::optional<std::string> Lookup(
        std::string_view fileBytes, std::string_view section, std::string_view key);
};
