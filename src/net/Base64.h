#pragma once
// Base64 (RFC 4648, standard alphabet, with padding, no line breaks) for Basic credentials and the
// credential fields of the recorder's login datagrams.

#include <string>
#include <string_view>

// Encodes the text's wire bytes (UTF-8). An empty input gives an empty text.
std::string Base64Encode(std::string_view text);
