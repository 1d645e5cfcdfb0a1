#include "NvrClient.h"

#include "discovery/DatagramHeader.h"
#include "platform/CodePage.h"

#include <cstring>

namespace {

// Local Base64 (standard alphabet, padded); replace with net/Base64 when merged.
std::string base64Encode(std::string_view bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += alphabet[(group >> 6) & 63];
        out += alphabet[group & 63];
    }
    if (i + 1 == bytes.size()) {
        const uint32_t group = uint8_t(bytes[i]) << 16;
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        const uint32_t group = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8);
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += alphabet[(group >> 6) & 63];
        out += '=';
    }
    return out;
}

constexpr uint64_t packState(uint32_t tag, int32_t value)
{
    return (static_cast<uint64_t>(tag) << 32) | static_cast<uint32_t>(value);
}

constexpr int32_t stateOf(uint64_t word) { return static_cast<int32_t>(static_cast<uint32_t>(word)); }

} // namespace

NvrClient::NvrClient() = default;

NvrClient::~NvrClient()
{
    replyTimer.Cancel();
    std::lock_guard<std::mutex> guard(udpLock);
    endpoint.reset(); // joins the receive thread
    setReadyState(Idle);
}

int32_t NvrClient::State() const { return stateOf(stateWord.load(std::memory_order_acquire)); }

int32_t NvrClient::LoginResult() const { return loginResult.load(std::memory_order_acquire); }

uint32_t NvrClient::beginCommand(bool login)
{
    std::lock_guard<std::mutex> guard(resultLock);
    if (++lastTag == 0) {
        lastTag = 1;
    }
    if (login) {
        loginResult.store(0, std::memory_order_relaxed);
    }
    stateWord.store(packState(lastTag, Busy), std::memory_order_release);
    return lastTag;
}

void NvrClient::setReadyState(int32_t value)
{
    std::lock_guard<std::mutex> guard(resultLock);
    if (++lastTag == 0) {
        lastTag = 1;
    }
    stateWord.store(packState(lastTag, value), std::memory_order_release);
}

bool NvrClient::finishCommand(uint32_t tag, int32_t result, const std::function<void()>& writeOutputs)
{
    std::lock_guard<std::mutex> guard(resultLock);
    uint64_t expected = packState(tag, Busy);
    if (tag == 0 || stateWord.load(std::memory_order_relaxed) != expected) {
        return false;
    }
    if (writeOutputs) {
        writeOutputs();
    }
    // Leaves Busy only from Busy, and only for the command that began with this tag.
    return stateWord.compare_exchange_strong(expected, packState(tag, result), std::memory_order_acq_rel);
}

void NvrClient::SetUdpDestination(const std::string& address)
{
    std::lock_guard<std::mutex> guard(udpLock);
    udpDestination = address;
}

bool NvrClient::OpenUdp(const std::string& localAddress)
{
    std::lock_guard<std::mutex> guard(udpLock);
    replyTimer.Cancel();
    udpTag.store(0);
    endpoint.reset();
    setReadyState(Idle);
    auto fresh = std::make_unique<UdpEndpoint>(0, &NvrClient::onDatagram, this);
    if (!fresh->Open(localAddress.empty() ? nullptr : localAddress.c_str())) {
        return false;
    }
    endpoint = std::move(fresh);
    setReadyState(Done);
    return true;
}

bool NvrClient::SendLogin(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
    const std::string& user, const std::string& password)
{
    return sendCommand(kCommandLogin, ip, mac, port, {user, password}, true);
}

bool NvrClient::SendSetPassword(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
    const std::string& user, const std::string& currentPassword, const std::string& newPassword)
{
    return sendCommand(kCommandSetPassword, ip, mac, port, {user, currentPassword, user, newPassword}, false);
}

bool NvrClient::sendCommand(uint16_t command, const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac,
    uint16_t port, const std::vector<std::string>& fields, bool login)
{
    std::lock_guard<std::mutex> guard(udpLock);
    if (!endpoint || State() == Idle) {
        return false;
    }
    // Layout: 22-byte header, then one 64-byte field per value holding its Base64 text, zero-padded.
    std::vector<uint8_t> datagram(DatagramHeader::kSize + kFieldSize * fields.size(), 0);
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string encoded = base64Encode(AnsiBytes(fields[i]));
        if (encoded.size() > kFieldSize) {
            return false; // a cut value would be a different password
        }
        std::memcpy(datagram.data() + DatagramHeader::kSize + kFieldSize * i, encoded.data(), encoded.size());
    }
    DatagramHeader header;
    header.sequence = static_cast<uint16_t>(sequence & 0xFFFF);
    header.command = command;
    header.targetMac = mac;
    header.targetIp = ip;
    header.status = {0x77, 0x77};
    header.payloadLength = static_cast<uint16_t>(kFieldSize * fields.size());
    header.Write(datagram.data());

    lastUser = fields[0];
    lastPassword = fields[1];
    if (!login) {
        lastNewPassword = fields[3];
    }

    // The previous command's timer goes before this command begins, so it cannot time this one out.
    replyTimer.Cancel();
    const int32_t previous = State();
    // Busy before the datagram leaves: a reply can arrive before sendto returns.
    const uint32_t tag = beginCommand(login);
    udpTag.store(tag);
    replyTimer.Start(std::chrono::milliseconds(replyTimeout), false, [this, tag] { onReplyTimeout(tag); });
    const bool sent = endpoint->Send(datagram.data(), datagram.size(), udpDestination.c_str(), port);
    ++sequence;
    if (!sent) {
        replyTimer.Cancel();
        udpTag.store(0);
        // Nothing left: the state is what it was (a command it replaced is over).
        finishCommand(tag, previous == Busy ? Failed : previous, nullptr);
    }
    return sent;
}

void NvrClient::onDatagram(UdpEndpoint*, void* owner, const sockaddr_in*, const uint8_t* data, size_t length)
{
    static_cast<NvrClient*>(owner)->onReply(data, length);
}

void NvrClient::onReply(const uint8_t* data, size_t length)
{
    // Only a pending UDP command looks at datagrams: a stray one cannot end anything else.
    const uint32_t tag = udpTag.load();
    if (tag == 0 || State() != Busy) {
        return;
    }
    const ReplyVerdict verdict = ExamineReply(data, length);
    if (verdict.kind == ReplyVerdict::Ignore) {
        return;
    }
    const int32_t result = verdict.kind == ReplyVerdict::Done ? Done : Failed;
    // The timer needs no cancelling here: it finds its command finished and does nothing.
    finishCommand(tag, result, [&] {
        if (verdict.setsLoginResult) {
            loginResult.store(verdict.loginResult, std::memory_order_relaxed);
        }
    });
}

void NvrClient::onReplyTimeout(uint32_t tag)
{
    replyTimer.Cancel(); // from its own handler: marks only
    finishCommand(tag, TimedOut, nullptr);
}

NvrClient::ReplyVerdict NvrClient::ExamineReply(const uint8_t* data, size_t length)
{
    ReplyVerdict verdict;
    // A refusal that carries no header at all.
    if (length >= 5 && std::memcmp(data, "yesno", 5) == 0) {
        verdict.kind = ReplyVerdict::Failed;
        return verdict;
    }
    // Command at 4 and status at 16, both 16-bit little-endian; a shorter datagram says nothing.
    if (length < 18) {
        return verdict;
    }
    const uint16_t command = ReadLe16(data, length, 4);
    const bool success = ReadLe16(data, length, 16) == 0;
    switch (command) {
    case kCommandLogin:
        verdict.setsLoginResult = true;
        verdict.loginResult = 0;
        // Login result: 32-bit little-endian at 22.
        if (success && length >= 26) {
            verdict.kind = ReplyVerdict::Done;
            verdict.loginResult = static_cast<int32_t>(ReadLe32(data, length, 22));
        } else {
            verdict.kind = ReplyVerdict::Failed;
        }
        return verdict;
    case 0xA2:
    case kCommandSetPassword:
    case 0xA6:
    case 0xA7:
    case 0xAA:
    case 0xC0:
        verdict.kind = success ? ReplyVerdict::Done : ReplyVerdict::Failed;
        return verdict;
    case kCommandSearch:
        verdict.kind = success ? ReplyVerdict::Ignore : ReplyVerdict::Failed;
        return verdict;
    default:
        return verdict;
    }
}
