#pragma once
// The host's storage watch: polls the recorder's storage information for its two USB ports every half second
// and tells the disk page when a port's plugged or ready state changes. Started and stopped by the host.

#include "session/ServiceThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

class HttpGet;
class NvrClient;
class SearchDevice;

class StorageWatch
{
public:
    // What the recorder reports of the disk on a port, to name it to the user.
    struct DiskDescription
    {
        static constexpr size_t kMaxNameChars = 64;
        std::string name; // "modelname", else "devicename" (UTF-8, at most 64 UTF-16 units); empty: unknown
        int64_t capacityBytes = 0; // "capacity" when it names its unit (SizeInBytes), else 0: size unknown
        bool operator==(const DiskDescription&) const = default;
    };

    static constexpr uint32_t kRequestTimeoutMs = 6000;
    static constexpr uint32_t kCycleMs = 500;
    static constexpr uint32_t kStopLimitMs = 3000;
    static constexpr size_t kAnswerBufferSize = 8200;

    // changed is called on the watch's thread after the first cycle and whenever a port's plugged or ready
    // state changed (the host passes it on to the disk page when that page is shown).
    StorageWatch(SearchDevice& search, NvrClient& client, std::function<void()> changed);
    ~StorageWatch();

    // Stops a watch that runs and starts one for this recorder and administrator, on webPort, or with 0 on the
    // web port of the recorder's discovery record.
    void Start(const std::string& nvrIp, const std::string& nvrMac, const std::string& nvrUser,
        const std::string& nvrPassword, uint16_t webPort = 0);
    // Clears the run flag, ends the request in flight and waits at most 3000 ms.
    void Stop();

    // Index 0 = HD1, 1 = HD2.
    std::atomic<int32_t> plugged[2] = { 0, 0 };
    std::atomic<int32_t> ready[2] = { 0, 0 };
    std::atomic<int32_t> fsCode[2] = { 0, 0 };
    // 1 when the latest answer for the port could not be read (no answer, or one without a plug state): its
    // plugged and ready read 0 then, which does not mean that no disk is there.
    std::atomic<int32_t> unreadable[2] = { 0, 0 };

    // The description of the disk on port (0 HD1, 1 HD2) from the latest answer; empty without a disk.
    DiskDescription Describe(int port) const;

    bool running() const { return thread.running(); }
    bool threadExists() const { return thread.exists(); }

    // One storage-information answer read into the port's three values; fsCode keeps its value unless the
    // sixth item of the used partition's information is exactly "0".."5".
    static void ReadAnswer(const std::string& answer, int32_t& plugged, int32_t& ready, int32_t& fsCode);
    // The disk description of one storage-information answer (empty when "plug" is not "1").
    static DiskDescription ReadDescription(const std::string& answer);
    // Whether an answer states the port's plug state ("plug" is "0" or "1"); a cut answer may not.
    static bool AnswerReadable(const std::string& answer);
    // The bytes of a size written as a number and its unit ("953869 MB", "931.5 GiB", "1000204886016 B"); 0 when
    // the unit is missing or unknown, or the text is no such size.
    static int64_t SizeInBytes(std::string_view text);

private:
    void run(const std::string& ip, const std::string& mac, const std::string& user, const std::string& password,
        uint16_t webPort);
    void pollPort(
        int port, const std::string& ip, const std::string& user, const std::string& password, uint16_t webPort);
    void closeRequest();

    SearchDevice& search;
    NvrClient& client;
    std::function<void()> changed;
    ServiceThread thread;
    std::mutex requestLock; // guards request
    HttpGet* request = nullptr;
    mutable std::mutex descriptionLock; // guards descriptions
    DiskDescription descriptions[2];
};
