#pragma once
// The 22-byte little-endian header that opens every recorder datagram: search requests and answers,
// and the login and password commands with their replies.

#include <array>
#include <cstddef>
#include <cstdint>

// UDP port of the recorder's datagram service.
constexpr uint16_t kRecorderPort = 62976;

constexpr uint16_t kCommandSearch = 0x00A1;
constexpr uint16_t kCommandLogin = 0x00A3;
constexpr uint16_t kCommandSetPassword = 0x00A4;

struct DatagramHeader
{
    static constexpr size_t kSize = 22;

    std::array<uint8_t, 2> magic { 0xFD, 0xFD };
    uint16_t sequence = 0;
    uint16_t command = 0;
    std::array<uint8_t, 6> targetMac {};
    std::array<uint8_t, 4> targetIp {};
    std::array<uint8_t, 2> status {};
    uint16_t requestMark = 0x0001;
    uint16_t payloadLength = 0;

    // The search request: every device, sequence 0, status 00 00.
    static DatagramHeader SearchRequest();

    // Writes the 22 bytes to `out`.
    void Write(uint8_t* out) const;
    std::array<uint8_t, kSize> Bytes() const;
};

// Little-endian field readers over a received datagram: bytes past `length` read as zero.
uint16_t ReadLe16(const uint8_t* data, size_t length, size_t offset);
uint32_t ReadLe32(const uint8_t* data, size_t length, size_t offset);
