#pragma once
// The discovery table: broadcasts the search request from every local IPv4 address, collects the
// answers for the search time and keeps one DeviceRecord per answer, with lookups by MAC and address.

#include "discovery/DatagramQueue.h"
#include "discovery/DeviceRecord.h"
#include "discovery/UdpEndpoint.h"
#include "platform/OneShotTimer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class SearchDevice
{
public:
    enum : int32_t { SearchFailed = 0, Searching = 1, SearchDone = 2 };

    SearchDevice();
    ~SearchDevice();
    SearchDevice(const SearchDevice&) = delete;
    SearchDevice& operator=(const SearchDevice&) = delete;

    // Opens one endpoint per local IPv4 address, broadcasts the search request from each and starts the
    // search time; a pending search is cancelled first. Returns Searching, or SearchFailed when a send
    // failed (then no search time runs).
    int32_t Start();

    std::atomic<int32_t> state { SearchFailed };
    std::atomic<int32_t> recordCount { 0 };
    uint32_t searchTime = 6000; // milliseconds; the window of the latest search, set afresh by every Start

    // Record texts and fields; empty (port 0) for an index out of range.
    std::string MacText(int32_t index) const;
    std::string IpText(int32_t index) const;
    std::string ModelText(int32_t index) const;
    std::string ExtraText(int32_t index) const;
    uint16_t WebPort(int32_t index) const;
    std::optional<DeviceRecord> Record(int32_t index) const;

    // Index of the first unique record whose MAC text equals `macText` exactly (case-sensitive), or -1.
    int32_t FindByMac(const std::string& macText) const;
    // Interface index of the first unique record whose IPv4 text equals `ipText` exactly, or -1.
    int32_t InterfaceForIp(const std::string& ipText) const;
    // The local address text of that interface's endpoint; empty when there is no such endpoint.
    std::string LocalAddress(int32_t interfaceIndex) const;
    int32_t EndpointCount() const;

    // The most answers one search keeps (every interface together): room for several hundred recorders seen
    // through two interfaces, while a flood of forged answers can neither exhaust memory nor stall the collection.
    static constexpr uint32_t kMaxAnswersPerSearch = 2048;
    // The fewest bytes a search answer can have: its header through the web port (the last field read).
    static constexpr size_t kMinAnswerSize = DeviceRecord::kWebPortOffset + 2;

    // Whether a datagram can be a search answer: long enough for every field read, the header's magic and the
    // search command. Anything else is dropped as it arrives.
    static bool IsSearchAnswer(const uint8_t* data, size_t length);

    // Figures of the latest completed search, for diagnosing lost answers (the companion prints them).
    struct Figures
    {
        uint32_t datagrams = 0; // queued during the search window
        uint32_t malformed = 0; // dropped on arrival: not a search answer
        uint32_t repeats = 0; // dropped on arrival: the same bytes already came through the same interface
        uint32_t overCap = 0; // dropped on arrival: kMaxAnswersPerSearch answers were already kept
        uint32_t dropped = 0; // dropped by the system at the endpoints' sockets (receive buffer full)
        int64_t lastDatagramMs = -1; // from the request to the last datagram queued; -1 when none came
        int32_t receiveBufferBytes = 0; // the smallest receive buffer the endpoints were granted
    };
    Figures LastFigures() const;

    // Inverse text forms. Exactly 4 "."-separated (an empty last piece dropped) or 6 ":"-separated
    // pieces are needed; otherwise the output is left untouched and the result is false.
    static bool ParseIpText(const std::string& text, std::array<uint8_t, 4>& out);
    static bool ParseMacText(const std::string& text, std::array<uint8_t, 6>& out);

    // Turns datagrams into records in interface order, the way the search time's end does: at most the
    // number of datagrams counted when it begins, each kept as 336 bytes, repeats (same address and MAC as an
    // earlier record) marked not unique.
    static std::vector<DeviceRecord> Collect(std::vector<std::unique_ptr<DatagramQueue>>& queues);

    // Where the request goes and which addresses are searched from. The defaults are the product's:
    // 255.255.255.255:62976 from every interface that LocalIpv4Interfaces lists. Tests point them at
    // loopback.
    void SetSearchTarget(const std::string& address, uint16_t port);
    void SetAddressSource(std::function<std::vector<std::string>()> source);
    // The window every Start begins with: 6000 ms in the product; tests shorten it.
    void SetSearchWindow(uint32_t milliseconds);

private:
    static void onReceive(
        UdpEndpoint* endpoint, void* owner, const Ipv4Endpoint* sender, const uint8_t* data, size_t length);
    void rebuildEndpoints();
    void closeEndpoints();
    void timeout();

    mutable std::mutex startLock; // one Start at a time; guards endpoints and queues against the readers
    std::vector<std::unique_ptr<UdpEndpoint>> endpoints;
    std::vector<std::unique_ptr<DatagramQueue>> queues;
    std::atomic<int32_t> endpointCount { 0 };
    OneShotTimer timer;

    mutable std::mutex recordsLock;
    std::vector<DeviceRecord> records;
    Figures figures; // of the search the records came from

    // Counted by the receive threads while a search runs; times in microseconds of the steady clock.
    std::atomic<int64_t> requestSentUs { 0 };
    std::atomic<int64_t> lastDatagramUs { -1 };
    std::atomic<uint32_t> datagramsQueued { 0 };
    // What the receive threads kept of the running search: each kept answer's interface and bytes.
    std::mutex arrivalsLock;
    std::unordered_set<std::string> arrivals;
    uint32_t malformedCount = 0; // guarded by arrivalsLock, like the two below
    uint32_t repeatCount = 0;
    uint32_t overCapCount = 0;

    uint32_t searchWindow = 6000; // milliseconds
    std::string targetAddress = "255.255.255.255";
    uint16_t targetPort;
    std::function<std::vector<std::string>()> addressSource;
};
