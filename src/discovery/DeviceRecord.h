#pragma once
// One search answer as the discovery table keeps it: the first 336 bytes of the datagram (zero-filled
// when shorter), the interface it arrived on, and whether it repeats an earlier record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct DeviceRecord
{
    static constexpr size_t kAnswerSize = 336;
    // Field offsets and widths inside the answer.
    static constexpr size_t kModelOffset = 150;
    static constexpr size_t kModelSize = 70;
    static constexpr size_t kMacOffset = 220;
    static constexpr size_t kExtraOffset = 226;
    static constexpr size_t kExtraSize = 64;
    static constexpr size_t kIpv4Offset = 290;
    static constexpr size_t kWebPortOffset = 294;

    std::array<uint8_t, kAnswerSize> answer {};
    int32_t interfaceIndex = 0;
    uint8_t unique = 1;

    // Keeps the first 336 of `length` received bytes; bytes not received stay zero.
    static DeviceRecord FromDatagram(const uint8_t* data, size_t length, int32_t interfaceIndex);

    // "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x" of the six MAC bytes.
    std::string MacText() const;
    // "%d.%d.%d.%d" of the four address bytes.
    std::string IpText() const;
    // The NUL-ended texts, never read past their fields (a field without NUL gives its whole width).
    std::string ModelText() const;
    std::string ExtraText() const;
    uint16_t WebPort() const;
    // Same MAC and IPv4 bytes.
    bool SameDevice(const DeviceRecord& other) const;
};

// Text forms of raw address bytes, shared by every user of recorder addresses.
std::string MacToText(const uint8_t* mac);
std::string IpToText(const uint8_t* ip);
