#include "pages/RecorderReach.h"

#include <arpa/inet.h>
#include <cstdint>

namespace {

// Strict dotted IPv4 text to host order.
std::optional<uint32_t> ParseIpv4(const std::string& text)
{
    in_addr address {};
    if (text.empty() || inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
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
