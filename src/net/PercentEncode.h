#pragma once
// Percent-encoding of query and form values: only the bytes that would change a request's meaning
// are encoded, so peers that expect raw values (Base64 texts, addresses, times) still get them.

#include <functional>
#include <string>
#include <string_view>

// Encodes "%", "&", "+", "#", space, control bytes (below 0x20 and 0x7F) and non-ASCII bytes as
// "%XX" (upper-case hexadecimal); every other byte, ":" "/" "@" "=" "?" included, is kept.
// Texts are UTF-8, so a non-ASCII character becomes the encoding of its UTF-8 bytes.
std::string PercentEncode(std::string_view value);

// Encodes as "%XX" (upper-case hexadecimal) every byte for which mustEncode is true; keeps the others.
std::string PercentEncodeBytes(std::string_view text, const std::function<bool(unsigned char)>& mustEncode);
