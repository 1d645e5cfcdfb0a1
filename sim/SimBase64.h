#pragma once
// Standard-alphabet Base64 decoding for the fields peers send us (datagram fields, camera accounts),
// written for the simulator on its own so a client-side fault cannot hide behind shared code.

#include <optional>
#include <string>

class SimBase64
{
public:
    // Decodes padded or unpadded Base64; nullopt on a character outside the alphabet or a bad length.
    static std::optional<std::string> decode(const std::string& text);
    // The text of a fixed-width, zero-padded datagram field (up to its first zero byte), decoded.
    static std::optional<std::string> decodeField(const unsigned char* field, size_t width);
};
