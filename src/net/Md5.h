#pragma once
// The MD5 message digest (RFC 1321) used by HTTP Digest authentication.
// Incremental: Reset, any number of Update calls, then Final; Md5Hex hashes one text in one call.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Md5
{
public:
    using Digest = std::array<uint8_t, 16>;

    Md5();

    // Returns the context to its initial state; needed before reusing it after Final.
    void Reset();

    // Adds `length` bytes to the message.
    void Update(const void* data, size_t length);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }

    // Pads the message and returns its digest. The context must be Reset before further use.
    Digest Final();

private:
    void transform(const uint8_t* blocks, size_t count);

    uint32_t state[4];
    uint64_t byteCount;
    uint8_t pending[64];
};

// The digest as 32 lower-case hexadecimal characters.
std::string Md5ToHex(const Md5::Digest& digest);

// Lower-case hexadecimal MD5 of the given bytes.
std::string Md5Hex(std::string_view bytes);
