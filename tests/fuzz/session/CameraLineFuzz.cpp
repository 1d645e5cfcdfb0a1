// Feeds arbitrary camera lines to the camera-line reader and the strict address readers: a record always has an
// address, every field is a piece of the line, and an address text is either refused or read back to the same
// bytes in its own text form.
#include "discovery/AddressText.h"
#include "session/CameraLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    if (auto record = ParseCameraLine(line)) {
        if (record->ip.empty())
            std::abort();
        for (const std::string* field : { &record->onRecorder, &record->ip, &record->mac, &record->brand,
                 &record->model, &record->password, &record->extra, &record->protocolType }) {
            if (field->find(';') != std::string::npos || line.find(*field) == std::string::npos)
                std::abort();
        }
        (void)ProtocolTypeValue(record->protocolType);
        (void)IsOnRecorder(*record);
        const HostAndPort split = SplitHostPort(record->ip);
        if (split.port < 0 || split.port > 65535 || record->ip.compare(0, split.host.size(), split.host) != 0)
            std::abort();
    }
    if (const auto mac = ParseMacStrict(line)) {
        char text[18];
        std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", (*mac)[0], (*mac)[1], (*mac)[2], (*mac)[3],
            (*mac)[4], (*mac)[5]);
        if (ParseMacStrict(text) != mac)
            std::abort();
    }
    if (const auto ip = ParseIpv4Strict(line)) {
        const std::string text = std::to_string((*ip)[0]) + "." + std::to_string((*ip)[1]) + "."
            + std::to_string((*ip)[2]) + "." + std::to_string((*ip)[3]);
        if (line.size() < 7 || line.size() > 15 || ParseIpv4Strict(text) != ip)
            std::abort();
    }
    return 0;
}
