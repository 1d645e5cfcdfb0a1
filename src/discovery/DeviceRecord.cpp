#include "DeviceRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string boundedText(const uint8_t* field, size_t width)
{
    const auto* begin = reinterpret_cast<const char*>(field);
    return std::string(begin, strnlen(begin, width));
}

} // namespace

std::string MacToText(const uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::string IpToText(const uint8_t* ip)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
    return text;
}

DeviceRecord DeviceRecord::FromDatagram(const uint8_t* data, size_t length, int32_t interfaceIndex)
{
    DeviceRecord record;
    if (length > 0) {
        std::memcpy(record.answer.data(), data, std::min(length, kAnswerSize));
    }
    record.interfaceIndex = interfaceIndex;
    return record;
}

std::string DeviceRecord::MacText() const
{
    return MacToText(answer.data() + kMacOffset);
}

std::string DeviceRecord::IpText() const
{
    return IpToText(answer.data() + kIpv4Offset);
}

std::string DeviceRecord::ModelText() const
{
    return boundedText(answer.data() + kModelOffset, kModelSize);
}

std::string DeviceRecord::ExtraText() const
{
    return boundedText(answer.data() + kExtraOffset, kExtraSize);
}

uint16_t DeviceRecord::WebPort() const
{
    return static_cast<uint16_t>(answer[kWebPortOffset] | (answer[kWebPortOffset + 1] << 8));
}

bool DeviceRecord::SameDevice(const DeviceRecord& other) const
{
    return std::memcmp(answer.data() + kIpv4Offset, other.answer.data() + kIpv4Offset, 4) == 0
        && std::memcmp(answer.data() + kMacOffset, other.answer.data() + kMacOffset, 6) == 0;
}
