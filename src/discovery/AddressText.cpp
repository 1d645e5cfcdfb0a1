#include "discovery/AddressText.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::array<uint8_t, 6>> ParseMacStrict(std::string_view text)
{
    // Format: h[h]:h[h]:h[h]:h[h]:h[h]:h[h]
    std::array<uint8_t, 6> bytes {};
    size_t piece = 0;
    size_t digits = 0;
    unsigned value = 0;
    for (const char c : text) {
        if (c == ':') {
            if (digits == 0 || piece >= 5)
                return std::nullopt;
            bytes[piece++] = static_cast<uint8_t>(value);
            digits = 0;
            value = 0;
            continue;
        }
        const int digit = HexValue(c);
        if (digit < 0 || digits >= 2)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
        ++digits;
    }
    if (piece != 5 || digits == 0)
        return std::nullopt;
    bytes[5] = static_cast<uint8_t>(value);
    return bytes;
}

std::optional<std::array<uint8_t, 4>> ParseIpv4Strict(std::string_view text)
{
    // Format: d[d[d]].d[d[d]].d[d[d]].d[d[d]], each at most 255, without leading zeros
    std::array<uint8_t, 4> bytes {};
    size_t piece = 0;
    size_t digits = 0;
    unsigned value = 0;
    for (const char c : text) {
        if (c == '.') {
            if (digits == 0 || piece >= 3)
                return std::nullopt;
            bytes[piece++] = static_cast<uint8_t>(value);
            digits = 0;
            value = 0;
            continue;
        }
        if (c < '0' || c > '9' || digits >= 3 || (digits > 0 && value == 0))
            return std::nullopt; // not a digit, a fourth digit, or a leading zero (read as octal elsewhere)
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 255)
            return std::nullopt;
        ++digits;
    }
    if (piece != 3 || digits == 0)
        return std::nullopt;
    bytes[3] = static_cast<uint8_t>(value);
    return bytes;
}

HostAndPort SplitHostPort(std::string_view text)
{
    HostAndPort result;
    const size_t colon = text.find(':');
    result.host = std::string(text.substr(0, colon));
    if (colon == std::string_view::npos)
        return result;
    // Format after the colon: 1..5 decimal digits naming 1..65535, nothing else.
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return result;
    int port = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return result;
        port = port * 10 + (c - '0');
    }
    if (port >= 1 && port <= 65535)
        result.port = port;
    return result;
}
