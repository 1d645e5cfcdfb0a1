#pragma once
// The request object through which the pages talk to the recorder: one command at a time, its progress
// in one state word that the pages poll. This part holds the state word and the UDP command channel.

#include "discovery/UdpEndpoint.h"
#include "platform/OneShotTimer.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class NvrClient {
public:
    enum : int32_t { Idle = 0, Busy = 1, Done = 2, TimedOut = 3, Failed = 4 };

    // What a datagram received during a UDP command means for that command.
    struct ReplyVerdict {
        enum Kind { Ignore, Done, Failed } kind = Ignore;
        bool setsLoginResult = false;
        int32_t loginResult = 0;
    };

    NvrClient();
    ~NvrClient();
    NvrClient(const NvrClient&) = delete;
    NvrClient& operator=(const NvrClient&) = delete;

    // Opens the UDP channel on the local address text (any address when empty): state Done (ready) when it
    // opened, else Idle. A previous channel is closed first.
    bool OpenUdp(const std::string& localAddress);

    // Send the login (0xA3) or set-password (0xA4) datagram to the recorder with this IPv4 and MAC on
    // `port`. False (nothing sent, state unchanged) before OpenUdp, when a value's Base64 text does not
    // fit its 64-byte field, or when the socket refused the datagram. Sent: state Busy until a reply
    // ends it (Done or Failed) or 3000 ms pass (TimedOut).
    bool SendLogin(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
        const std::string& user, const std::string& password);
    bool SendSetPassword(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
        const std::string& user, const std::string& currentPassword, const std::string& newPassword);

    int32_t State() const;
    // The value of the last accepted login reply; 0 from the moment a login is sent until a reply carries one.
    int32_t LoginResult() const;

    // The reply table of the UDP commands. Bytes not received are never read: a datagram too short for
    // its command and status is ignored, a login success too short to carry its result fails.
    static ReplyVerdict ExamineReply(const uint8_t* data, size_t length);

    // The commands' destination, 255.255.255.255 in the product; tests point it at loopback.
    void SetUdpDestination(const std::string& address);

    static constexpr size_t kFieldSize = 64;
    uint32_t replyTimeout = 3000; // milliseconds

private:
    // The state word carries the tag of the command it belongs to in its high half, so a writer holding
    // an older tag (a late reply, a timer, a worker) can never overwrite a later command's state.
    uint32_t beginCommand(bool login);
    void setReadyState(int32_t value);
    bool finishCommand(uint32_t tag, int32_t result, const std::function<void()>& writeOutputs);

    bool sendCommand(uint16_t command, const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac,
        uint16_t port, const std::vector<std::string>& fields, bool login);
    static void onDatagram(UdpEndpoint* endpoint, void* owner, const sockaddr_in* sender, const uint8_t* data,
        size_t length);
    void onReply(const uint8_t* data, size_t length);
    void onReplyTimeout(uint32_t tag);

    std::atomic<uint64_t> stateWord {0};
    uint32_t lastTag = 0;        // guarded by resultLock
    std::mutex resultLock;       // a command's outputs and its final state are written together
    std::atomic<int32_t> loginResult {0};

    std::mutex udpLock; // the channel: endpoint, sequence, last texts, destination
    std::unique_ptr<UdpEndpoint> endpoint;
    std::atomic<uint32_t> udpTag {0}; // tag of the pending UDP command; 0 = none
    OneShotTimer replyTimer;
    uint32_t sequence = 0;
    std::string lastUser;
    std::string lastPassword;
    std::string lastNewPassword;
    std::string udpDestination = "255.255.255.255";
};
