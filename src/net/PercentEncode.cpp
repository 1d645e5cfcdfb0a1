#include "net/PercentEncode.h"

std::string PercentEncodeBytes(std::string_view text, const std::function<bool(unsigned char)>& mustEncode)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (mustEncode(byte)) {
            out += '%';
            out += hexDigits[byte >> 4];
            out += hexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string PercentEncode(std::string_view value)
{
    return PercentEncodeBytes(value, [](unsigned char byte) {
        return byte <= 0x20 || byte >= 0x7F || byte == '%' || byte == '&' || byte == '+' || byte == '#';
    });
}
