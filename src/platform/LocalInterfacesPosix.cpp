#include "LocalInterfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::vector<LocalInterface> LocalIpv4Interfaces()
{
    std::vector<LocalInterface> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return result;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) {
            continue;
        }
        char mask[INET_ADDRSTRLEN] = {};
        if (entry->ifa_netmask != nullptr) { // the mask of an IPv4 entry is an IPv4 sockaddr
            const auto* netmask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask);
            if (inet_ntop(AF_INET, &netmask->sin_addr, mask, sizeof mask) == nullptr) {
                mask[0] = '\0';
            }
        }
        result.push_back({ entry->ifa_name != nullptr ? entry->ifa_name : "", text, mask });
    }
    freeifaddrs(list);
    return result;
}
