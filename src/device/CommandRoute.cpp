#include "device/CommandRoute.h"

#include "platform/DatagramSocket.h"

#include <cstring>
#include <optional>

namespace {

// Strict dotted IPv4 text to host order.
std::optional<uint32_t> parseIpv4(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    return DatagramSocket::ParseDottedAddress(text.c_str());
}

constexpr size_t kHeaderMacOffset = 6;
constexpr size_t kHeaderMacEnd = kHeaderMacOffset + 6;

} // namespace

std::string CommandDestination(const std::array<uint8_t, 4>& recorderIp, const std::string& boundAddress,
    const std::vector<LocalInterface>& interfaces)
{
    const uint32_t target = (static_cast<uint32_t>(recorderIp[0]) << 24) | (static_cast<uint32_t>(recorderIp[1]) << 16)
        | (static_cast<uint32_t>(recorderIp[2]) << 8) | recorderIp[3];
    for (const LocalInterface& local : interfaces) {
        if (!boundAddress.empty() && local.address != boundAddress)
            continue;
        const std::optional<uint32_t> address = parseIpv4(local.address);
        const std::optional<uint32_t> mask = parseIpv4(local.netmask);
        // A host route (/32) or a missing mask says nothing about the neighbours; the recorder's own address and
        // the subnet's broadcast and network addresses are never a recorder on that link.
        if (!address || !mask || *mask == 0xFFFFFFFFu || *mask == 0)
            continue;
        const bool sameSubnet = (*address & *mask) == (target & *mask);
        const uint32_t host = target & ~*mask;
        if (sameSubnet && target != *address && host != 0 && host != ~*mask) {
            return std::to_string(recorderIp[0]) + '.' + std::to_string(recorderIp[1]) + '.'
                + std::to_string(recorderIp[2]) + '.' + std::to_string(recorderIp[3]);
        }
    }
    return kLimitedBroadcast;
}

bool IsReplyFromRecorder(const std::array<uint8_t, 4>& sender, const std::array<uint8_t, 4>& recorderIp,
    const std::array<uint8_t, 6>& recorderMac, const std::array<uint8_t, 4>& sentTo, const uint8_t* data,
    size_t length)
{
    constexpr std::array<uint8_t, 4> broadcast { 0xFF, 0xFF, 0xFF, 0xFF };
    if (sender == recorderIp || (sender == sentTo && sentTo != broadcast))
        return true;
    // Header: magic FD FD, then the MAC at 6 (a reply that carries none is known only by its address).
    return length >= kHeaderMacEnd && data[0] == 0xFD && data[1] == 0xFD
        && std::memcmp(data + kHeaderMacOffset, recorderMac.data(), recorderMac.size()) == 0;
}
