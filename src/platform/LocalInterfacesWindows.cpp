#include "LocalInterfaces.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <memory>

std::vector<LocalInterface> LocalIpv4Interfaces()
{
    std::vector<LocalInterface> result;
    // The list is asked for with a buffer the size the system last named; it may grow between the calls.
    ULONG size = 16 * 1024;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.reset(new unsigned char[size]);
        status = GetAdaptersAddresses(AF_INET,
            GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (status != NO_ERROR) {
        return result;
    }
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter != nullptr;
         adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) {
                continue;
            }
            const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
            if ((ntohl(ipv4->sin_addr.s_addr) >> 24) == 127) {
                continue; // loopback, whatever the adapter says it is
            }
            char text[INET_ADDRSTRLEN] = {};
            if (inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) == nullptr) {
                continue;
            }
            char mask[INET_ADDRSTRLEN] = {};
            if (unicast->OnLinkPrefixLength <= 32) {
                in_addr netmask {};
                const ULONG bits = unicast->OnLinkPrefixLength;
                netmask.s_addr = htonl(bits == 0 ? 0 : 0xFFFFFFFFu << (32 - bits));
                if (inet_ntop(AF_INET, &netmask, mask, sizeof mask) == nullptr) {
                    mask[0] = '\0';
                }
            }
            result.push_back({ adapter->AdapterName != nullptr ? adapter->AdapterName : "", text, mask });
        }
    }
    return result;
}
