#include "net/Base64.h"

#include "platform/CodePage.h"

#include <cstdint>

std::string Base64Encode(std::string_view text)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string_view bytes = AnsiBytes(text);
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t group = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8)
            | uint32_t(uint8_t(bytes[i + 2]));
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += alphabet[(group >> 6) & 63];
        out += alphabet[group & 63];
    }
    const size_t left = bytes.size() - i;
    if (left > 0) {
        uint32_t group = uint32_t(uint8_t(bytes[i])) << 16;
        if (left == 2) {
            group |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        }
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += (left == 2) ? alphabet[(group >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}
