#pragma once
// The datagram service of every simulated device on UDP port 62976: answers the broadcast search for
// each recorder (and each camera that answers searches), and the login and set-password commands
// addressed to a recorder or to a camera of protocol type 0 by its MAC and IPv4 address.

#include "SimState.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <thread>
#include <vector>

class UdpResponder
{
public:
    static constexpr uint16_t port = 62976;

    explicit UdpResponder(SimState& state);
    ~UdpResponder();

    // Binds 0.0.0.0:62976 (the only way to receive 255.255.255.255) and starts the receive thread.
    bool start(std::string& error);
    void stop();

private:
    struct Identity // a device as the datagram service sees it
    {
        std::string name;
        bool isRecorder = false;
        std::string model;
        std::string extra;
        Mac mac {};
        Ipv4 ip {};
        Ipv4 announcedIp {}; // the address its search answer carries
        uint16_t webPort = 80;
        bool answersSearch = true;
        bool answersCommands = true;
        FaultSet faults;
    };
    struct Pending
    {
        std::chrono::steady_clock::time_point due;
        sockaddr_in to {};
        Ipv4 from {};
        std::vector<uint8_t> bytes;
    };

    void run();
    void handle(const uint8_t* data, size_t size, const sockaddr_in& peer);
    void answerSearch(const uint8_t* request, size_t size, const sockaddr_in& peer);
    void answerCommand(const uint8_t* request, size_t size, const sockaddr_in& peer);
    // The device's faults for a datagram of kind: its scenario's and the live ones, each live one counted as used.
    FaultSet faultsFor(const Identity& device, const std::string& kind);
    // Applies the faults for this kind of datagram and sends (or schedules) the answer; returns a short note for
    // the request log.
    std::string deliver(const Identity& device, const FaultSet& faults, const std::string& kind,
        std::vector<uint8_t> answer, const sockaddr_in& peer);
    void sendNow(const Pending& datagram);
    int msUntilNextPending() const;

    SimState& state;
    std::vector<Identity> devices;
    std::vector<Pending> pending;
    int sock = -1;
    int wakeFd = -1;
    std::atomic<bool> running { false };
    std::thread thread;
    uint32_t noise = 0x2545F491; // garbage datagrams: a fixed xorshift sequence, the same on every run
};
