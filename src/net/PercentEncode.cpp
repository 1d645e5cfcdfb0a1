#include "net/PercentEncode.h"

std::string PercentEncode(std::string_view value)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool encode = byte <= 0x20 || byte >= 0x7F || c == '%' || c == '&' || c == '+' || c == '#';
        if (encode) {
            out += '%';
            out += hexDigits[byte >> 4];
            out += hexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}
