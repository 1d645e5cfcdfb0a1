#include "DatagramHeader.h"

#include <cstring>

namespace {

void writeLe16(uint8_t* out, uint16_t value)
{
    out[0] = static_cast<uint8_t>(value & 0xFF);
    out[1] = static_cast<uint8_t>(value >> 8);
}

uint8_t byteAt(const uint8_t* data, size_t length, size_t offset)
{
    return offset < length ? data[offset] : 0;
}

} // namespace

DatagramHeader DatagramHeader::SearchRequest()
{
    DatagramHeader header;
    header.command = kCommandSearch;
    header.targetMac.fill(0xFF);
    return header;
}

void DatagramHeader::Write(uint8_t* out) const
{
    std::memcpy(out + 0, magic.data(), 2);
    writeLe16(out + 2, sequence);
    writeLe16(out + 4, command);
    std::memcpy(out + 6, targetMac.data(), 6);
    std::memcpy(out + 12, targetIp.data(), 4);
    std::memcpy(out + 16, status.data(), 2);
    writeLe16(out + 18, requestMark);
    writeLe16(out + 20, payloadLength);
}

std::array<uint8_t, DatagramHeader::kSize> DatagramHeader::Bytes() const
{
    std::array<uint8_t, kSize> bytes {};
    Write(bytes.data());
    return bytes;
}

uint16_t ReadLe16(const uint8_t* data, size_t length, size_t offset)
{
    return static_cast<uint16_t>(byteAt(data, length, offset) | (byteAt(data, length, offset + 1) << 8));
}

uint32_t ReadLe32(const uint8_t* data, size_t length, size_t offset)
{
    return static_cast<uint32_t>(ReadLe16(data, length, offset))
        | (static_cast<uint32_t>(ReadLe16(data, length, offset + 2)) << 16);
}
