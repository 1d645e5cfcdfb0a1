// Base64 decoding.
#include "SimBase64.h"

namespace {

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

} // namespace

std::optional<std::string> SimBase64::decode(const std::string& text)
{
    size_t length = text.size();
    // Up to two "=" at the end, and only there.
    size_t padding = 0;
    while (length > 0 && text[length - 1] == '=' && padding < 2) {
        --length;
        ++padding;
    }
    if (padding > 0 && text.size() % 4 != 0) {
        return std::nullopt;
    }
    if (length % 4 == 1) {
        return std::nullopt;
    }
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (size_t i = 0; i < length; ++i) {
        int v = sextet(text[i]);
        if (v < 0) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

std::optional<std::string> SimBase64::decodeField(const unsigned char* field, size_t width)
{
    size_t length = 0;
    while (length < width && field[length] != 0) {
        ++length;
    }
    return decode(std::string(reinterpret_cast<const char*>(field), length));
}
