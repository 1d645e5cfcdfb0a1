#pragma once
// Strict readers of the address texts a person or a peer hands us (a camera's MAC and address, the command-line
// tool's --mac and --ip): a malformed text is refused whole, never read as some other device's address.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Six ":"-separated bytes of one or two hexadecimal digits each, in either case ("00:1A:2b:3c:4d:5e").
// Anything else (other separators, blanks, signs, a missing or extra piece, three digits) is refused.
std::optional<std::array<uint8_t, 6>> ParseMacStrict(std::string_view text);

// A dotted IPv4 address: four decimal pieces of one to three digits, each 0..255 without a leading zero;
// nothing before, between or after them.
std::optional<std::array<uint8_t, 4>> ParseIpv4Strict(std::string_view text);

// A camera address as the recorder lists it: "a.b.c.d" or "a.b.c.d:port".
struct HostAndPort
{
    std::string host; // the text before the first ":" (the whole text without one)
    int port = 0; // 0: none given, a bare ":", or a port that is not a number in 1..65535
};
HostAndPort SplitHostPort(std::string_view text);
