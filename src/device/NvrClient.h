#pragma once
// The request object through which the pages talk to the recorder, the cameras and the cloud portal: one
// command at a time, its progress in one state word that the pages poll, its outputs kept until the next.

#include "device/DeviceCommand.h"
#include "discovery/UdpEndpoint.h"
#include "platform/LocalInterfaces.h"
#include "platform/OneShotTimer.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HttpGet;

// HTTP commands: a command method stores its inputs and issues the command; a worker thread of its own
// performs it and sets Done or Failed; the page polls State and then reads the outputs. Issuing a command
// ends the one before it (its request is cancelled, its worker joined), and no worker can write the state
// or the outputs of a later command. Any thread may call the methods; Issue and Stop take turns.
class NvrClient
{
public:
    enum : int32_t { Idle = 0, Busy = 1, Done = 2, TimedOut = 3, Failed = 4 };

    // What a datagram received during a UDP command means for that command.
    struct ReplyVerdict
    {
        enum Kind { Ignore, Done, Failed } kind = Ignore;
        bool setsLoginResult = false;
        int32_t loginResult = 0;
        bool hasSequence = false; // the datagram carries a header, and so a sequence
        uint16_t sequence = 0;
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
    // ends it (Done or Failed) or 3000 ms pass (TimedOut). Sequences start at 1 and never take 0. A reply
    // carrying the sequence of an earlier command to the same recorder is the late answer to that command and
    // is ignored; once a recorder has answered a command with that command's sequence, only replies carrying
    // the pending command's sequence count for it. A recorder that has not shown it echoes the sequence (one
    // that always answers 0) is answered by whatever other reply comes first.
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

    // The commands' destination: 255.255.255.255 in the product, which sends to the recorder's own address
    // when a local subnet holds it (CommandDestination) and broadcasts otherwise; tests point it at loopback.
    // Whatever the destination, a reply counts only when IsReplyFromRecorder accepts it.
    void SetUdpDestination(const std::string& address);
    // The local interfaces the destination is chosen with: LocalIpv4Interfaces in the product.
    void SetInterfaceSource(std::function<std::vector<LocalInterface>()> source);

    // Recorder configuration (plain HTTP on the recorder's web port, or HTTPS on 443 where noted). Each
    // returns whether the connection could be prepared; false leaves the state Busy until the next command.
    bool FormatDisk(const std::string& host, int port, const std::string& user, const std::string& password,
        int32_t storageId, int32_t partition, int32_t fileSystem);
    bool PollFormat(const std::string& host, int port, const std::string& user, const std::string& password);
    bool AddCamera(const std::string& host, int port, const std::string& user, const std::string& password,
        int32_t avdevId, const std::string& avdevName, const std::string& hostName, const std::string& hostId,
        int32_t protocolType, const std::string& account, const std::string& accountPassword, const std::string& brand,
        const std::string& product);
    bool DeleteCamera(
        const std::string& host, int port, const std::string& user, const std::string& password, int32_t avdevId);
    bool SetCloudRegStatus(
        const std::string& host, int port, const std::string& user, const std::string& password, int32_t status);
    bool GetCloudPortal(const std::string& host, int port, const std::string& user, const std::string& password);
    bool SetCloudRegInfo(const std::string& host, int port, const std::string& user, const std::string& password,
        const std::string& email, const std::string& cloudPassword); // HTTPS
    bool DiscoverCameras(const std::string& host, int port, const std::string& user,
        const std::string& password); // HTTPS

    // Camera CGI (plain HTTP).
    bool CheckCameraLogin(const std::string& host, int port, const std::string& user, const std::string& password);
    bool SetCameraPassword(const std::string& host, int port, const std::string& user,
        const std::string& currentPassword, const std::string& newPassword);

    // Cloud portal form posts (HTTPS on 443, certificate verified).
    bool PortalSignUp(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
        const std::string& lang, const std::string& email, const std::string& password,
        const std::string& passwordVerify, const std::string& nameFirst, const std::string& nameLast);
    bool PortalSignIn(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
        const std::string& lang, const std::string& email, const std::string& password);
    bool PortalBind(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
        const std::string& lang, const std::string& tovraNo, const std::string& devicePassword, const std::string& dfp);

    // Cancels the request in flight, then waits for the worker to end (its command ends Failed). The state
    // is otherwise left as it is. Always true.
    bool Stop();

    // The last portal answer when Done, else empty.
    std::string AnswerText() const;
    // "-1" when Idle, TimedOut or Failed; empty while Busy; the last portal answer when Done.
    std::string AnswerResult() const;
    // When Done: the camera lines one per call, then one empty text, then from the first again. Empty otherwise.
    std::string NextListItem();
    int32_t FormatProgress() const;
    // The HTTP status of the last HTTP command's last answer, once it has ended (Done or Failed); 0 when no
    // answer arrived. A Failed command with a status answered, but not with 2xx.
    int32_t AnswerStatus() const;
    // When Done: status, access, portal_url, portal_number, portal_dfp, model and localhyperlink joined by
    // "&"; empty while Busy; "-1" otherwise.
    std::string PortalInfo() const;
    int32_t ErrCount() const;
    std::string PortalCookie() const;

    // Where the connections on a fixed port go (the recorder's HTTPS interface and the portal): 443 over
    // HTTPS in the product; tests point them at a loopback server.
    void SetFixedPortConnection(int port, bool secure);

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
    static void onDatagram(
        UdpEndpoint* endpoint, void* owner, const Ipv4Endpoint* sender, const uint8_t* data, size_t length);
    void onReply(const std::array<uint8_t, 4>& sender, const uint8_t* data, size_t length);
    void onReplyTimeout(uint32_t tag);

    bool Issue(int32_t code, CommandInputs inputs, const std::string& host, int port, const std::string& user,
        const std::string& password);
    void endWorker();
    void runWorker(const DeviceCommand& command, const CommandInputs& inputs, uint32_t tag);
    bool pauseWorker(std::chrono::milliseconds duration);

    std::atomic<uint64_t> stateWord { 0 };
    uint32_t lastTag = 0; // guarded by resultLock
    mutable std::mutex resultLock; // a command's outputs and its final state are written together
    std::atomic<int32_t> loginResult { 0 };

    std::mutex udpLock; // the channel: endpoint, sequence, last texts, destination
    std::unique_ptr<UdpEndpoint> endpoint;
    // The pending UDP command: the sequence of the first command to its recorder (bits 48-63), its own
    // sequence (bits 32-47) and its tag (the low half); 0 = none.
    std::atomic<uint64_t> udpTag { 0 };
    // Whether the recorder the commands go to (echoIp, echoMac) has answered with its command's sequence.
    std::atomic<bool> echoesSequence { false };
    std::array<uint8_t, 4> echoIp {};
    std::array<uint8_t, 6> echoMac {};
    OneShotTimer replyTimer;
    uint32_t sequence = 1;
    uint16_t firstSequence = 0; // of the first command sent to echoIp / echoMac
    std::string lastUser;
    std::string lastPassword;
    std::string lastNewPassword;
    std::string udpDestination = "255.255.255.255";
    std::string boundAddress; // the channel's local address; empty = any
    std::function<std::vector<LocalInterface>()> interfaceSource;
    // Whose replies the pending command accepts: the recorder's address and MAC, and where it was sent.
    struct ReplyOrigin
    {
        std::array<uint8_t, 4> ip {};
        std::array<uint8_t, 6> mac {};
        std::array<uint8_t, 4> sentTo {};
    };
    std::mutex replyFromLock;
    ReplyOrigin replyFrom;

    CommandOutputs outputs; // guarded by resultLock

    std::mutex driveLock; // Issue and Stop take turns
    std::unique_ptr<HttpGet> http;
    std::thread worker;
    std::mutex runLock;
    std::condition_variable runChanged;
    bool running = false; // guarded by runLock; cleared to stop the worker's waits
    int fixedPort = 443;
    bool fixedSecure = true;
};
