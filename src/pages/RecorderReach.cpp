#include "pages/RecorderReach.h"

#include "platform/DatagramSocket.h"

#include <cstdint>

namespace {

// Strict dotted IPv4 text to host order.
std::optional<uint32_t> ParseIpv4(const std::string& text)
{
    return DatagramSocket::ParseDottedAddress(text.c_str());
}

} // namespace

const LocalInterface* InterfaceWithAddress(const std::vector<LocalInterface>& interfaces, const std::string& address)
{
    for (const LocalInterface& local : interfaces) {
        if (local.address == address)
            return &local;
    }
    return nullptr;
}

std::optional<bool> InLocalSubnet(const std::vector<LocalInterface>& interfaces, const std::string& ip)
{
    const std::optional<uint32_t> target = ParseIpv4(ip);
    if (!target)
        return std::nullopt;
    bool anyKnown = false;
    for (const LocalInterface& local : interfaces) {
        const std::optional<uint32_t> address = ParseIpv4(local.address);
        const std::optional<uint32_t> mask = ParseIpv4(local.netmask);
        if (!address || !mask)
            continue;
        anyKnown = true;
        if ((*address & *mask) == (*target & *mask))
            return true;
    }
    if (!anyKnown)
        return std::nullopt;
    return false;
}
