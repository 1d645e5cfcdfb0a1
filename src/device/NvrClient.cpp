#include "NvrClient.h"

#include "device/CameraCommands.h"
#include "device/CommandContext.h"
#include "device/CommandRoute.h"
#include "device/PortalCommands.h"
#include "device/RecorderCommands.h"
#include "discovery/DatagramHeader.h"
#include "net/Base64.h"
#include "net/HttpGet.h"
#include "platform/CodePage.h"
#include "platform/DatagramSocket.h"
#include "platform/WaitTimeline.h"

#include <cstring>
#include <optional>

namespace {

// What every portal form carries: who asks, the wizard's version and the user's language.
CommandInputs portalInputs(const std::string& client, const std::string& wizardVersion, const std::string& lang)
{
    CommandInputs in;
    in.client = client;
    in.wizardVersion = wizardVersion;
    in.lang = lang;
    return in;
}

constexpr uint64_t packState(uint32_t tag, int32_t value)
{
    return (static_cast<uint64_t>(tag) << 32) | static_cast<uint32_t>(value);
}

constexpr int32_t stateOf(uint64_t word)
{
    return static_cast<int32_t>(static_cast<uint32_t>(word));
}

const DeviceCommand* findCommand(int32_t code)
{
    for (const auto* table : { &RecorderCommands(), &CameraCommands(), &PortalCommands() }) {
        for (const DeviceCommand& command : *table) {
            if (command.code == code) {
                return &command;
            }
        }
    }
    return nullptr;
}

} // namespace

NvrClient::NvrClient()
    : http(std::make_unique<HttpGet>())
{
}

NvrClient::~NvrClient()
{
    Stop(); // a worker never outlives the object it works on
    replyTimer.Cancel();
    std::lock_guard<std::mutex> guard(udpLock);
    endpoint.reset(); // joins the receive thread
    setReadyState(Idle);
}

int32_t NvrClient::State() const
{
    return stateOf(stateWord.load(std::memory_order_acquire));
}

int32_t NvrClient::LoginResult() const
{
    return loginResult.load(std::memory_order_acquire);
}

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

void NvrClient::SetInterfaceSource(std::function<std::vector<LocalInterface>()> source)
{
    std::lock_guard<std::mutex> guard(udpLock);
    interfaceSource = std::move(source);
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
    boundAddress = localAddress;
    setReadyState(Done);
    return true;
}

bool NvrClient::SendLogin(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
    const std::string& user, const std::string& password)
{
    return sendCommand(kCommandLogin, ip, mac, port, { user, password }, true);
}

bool NvrClient::SendSetPassword(const std::array<uint8_t, 4>& ip, const std::array<uint8_t, 6>& mac, uint16_t port,
    const std::string& user, const std::string& currentPassword, const std::string& newPassword)
{
    return sendCommand(kCommandSetPassword, ip, mac, port, { user, currentPassword, user, newPassword }, false);
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
        const std::string encoded = Base64Encode(AnsiBytes(fields[i]));
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
    header.status = { 0x77, 0x77 };
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
    // From here on no reply to an earlier command can end one, nor teach anything about its recorder.
    if (ip != echoIp || mac != echoMac) {
        echoIp = ip;
        echoMac = mac;
        echoesSequence.store(false);
        firstSequence = header.sequence;
    }
    // The password goes to the recorder alone when a local subnet holds it; the broadcast only reaches one that
    // sits outside every subnet of this PC.
    std::string destination = udpDestination;
    if (destination == kLimitedBroadcast) {
        destination = CommandDestination(
            ip, boundAddress, interfaceSource ? interfaceSource() : LocalIpv4Interfaces());
    }
    std::array<uint8_t, 4> sentTo { 0xFF, 0xFF, 0xFF, 0xFF };
    if (const std::optional<uint32_t> address = DatagramSocket::ParseDottedAddress(destination.c_str())) {
        sentTo = { static_cast<uint8_t>(*address >> 24), static_cast<uint8_t>(*address >> 16),
            static_cast<uint8_t>(*address >> 8), static_cast<uint8_t>(*address) };
    }
    {
        std::lock_guard<std::mutex> replyGuard(replyFromLock);
        replyFrom = { ip, mac, sentTo };
    }
    udpTag.store((static_cast<uint64_t>(firstSequence) << 48) | (static_cast<uint64_t>(header.sequence) << 32) | tag);
    replyTimer.Start(std::chrono::milliseconds(replyTimeout), false, [this, tag] { onReplyTimeout(tag); });
    const bool sent = endpoint->Send(datagram.data(), datagram.size(), destination.c_str(), port);
    // Never 0: a recorder that does not echo answers 0, so a command sent with 0 could not tell its own reply
    // from theirs, and a reply carrying one of our sequences always names the command it answers.
    if ((++sequence & 0xFFFF) == 0) {
        ++sequence;
    }
    if (!sent) {
        replyTimer.Cancel();
        udpTag.store(0);
        // Nothing left: the state is what it was (a command it replaced is over).
        finishCommand(tag, previous == Busy ? Failed : previous, nullptr);
    }
    return sent;
}

void NvrClient::onDatagram(UdpEndpoint*, void* owner, const Ipv4Endpoint* sender, const uint8_t* data, size_t length)
{
    std::array<uint8_t, 4> from {};
    if (sender != nullptr) {
        // The sender's address is in host order; the bytes are compared in network order (a.b.c.d).
        from = { static_cast<uint8_t>(sender->address >> 24), static_cast<uint8_t>(sender->address >> 16),
            static_cast<uint8_t>(sender->address >> 8), static_cast<uint8_t>(sender->address) };
    }
    static_cast<NvrClient*>(owner)->onReply(from, data, length);
}

void NvrClient::onReply(const std::array<uint8_t, 4>& sender, const uint8_t* data, size_t length)
{
    // Only a pending UDP command looks at datagrams: a stray one cannot end anything else.
    const uint64_t pending = udpTag.load();
    const auto tag = static_cast<uint32_t>(pending);
    const auto sequence = static_cast<uint16_t>(pending >> 32);
    const auto first = static_cast<uint16_t>(pending >> 48);
    if (tag == 0 || State() != Busy) {
        return;
    }
    // Any host on the LAN can send to this port: only the recorder's answer counts.
    ReplyOrigin origin;
    {
        std::lock_guard<std::mutex> replyGuard(replyFromLock);
        origin = replyFrom;
    }
    if (!IsReplyFromRecorder(sender, origin.ip, origin.mac, origin.sentTo, data, length)) {
        return;
    }
    const ReplyVerdict verdict = ExamineReply(data, length);
    if (verdict.kind == ReplyVerdict::Ignore) {
        return;
    }
    if (verdict.hasSequence && verdict.sequence != sequence) {
        // The sequence of an earlier command of ours to this recorder: the late answer to that command (a login
        // that timed out answering while the next one waits), whether or not the recorder has shown it echoes.
        const bool earlierCommand = verdict.sequence != 0
            && static_cast<uint16_t>(sequence - verdict.sequence) <= static_cast<uint16_t>(sequence - first);
        if (earlierCommand || echoesSequence.load()) {
            return;
        }
    }
    const int32_t result = verdict.kind == ReplyVerdict::Done ? Done : Failed;
    // The timer needs no cancelling here: it finds its command finished and does nothing.
    finishCommand(tag, result, [&] {
        if (verdict.setsLoginResult) {
            loginResult.store(verdict.loginResult, std::memory_order_relaxed);
        }
        // Sequence 0 proves nothing: a recorder that always answers 0 carries it too.
        if (verdict.hasSequence && sequence != 0 && verdict.sequence == sequence) {
            echoesSequence.store(true);
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
    verdict.hasSequence = true;
    verdict.sequence = ReadLe16(data, length, 2);
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

// ---- HTTP commands -------------------------------------------------------------------------------------

void NvrClient::SetFixedPortConnection(int port, bool secure)
{
    std::lock_guard<std::mutex> guard(driveLock);
    fixedPort = port;
    fixedSecure = secure;
}

bool NvrClient::Issue(int32_t code, CommandInputs inputs, const std::string& host, int port, const std::string& user,
    const std::string& password)
{
    const DeviceCommand* command = findCommand(code);
    if (command == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> drive(driveLock);
    // Busy first: from here on the previous worker can write neither the state nor the outputs.
    const uint32_t tag = beginCommand(false);
    udpTag.store(0);
    {
        std::lock_guard<std::mutex> guard(resultLock);
        outputs.answerStatus = 0;
        if (command->prepare != nullptr) {
            command->prepare(outputs);
        }
    }
    endWorker();

    const bool fixed = command->transport == Transport::RecorderSecure || command->transport == Transport::Portal;
    const bool secure = fixed && fixedSecure;
    const int connectPort = fixed ? fixedPort : port;
    // The recorder's HTTPS interface has a self-signed certificate; the portal's is checked.
    // Recorder and camera credentials never go through a proxy; the portal follows the system's settings.
    const bool portal = command->transport == Transport::Portal;
    const auto check = portal ? HttpGet::CertificateCheck::Verified : HttpGet::CertificateCheck::Relaxed;
    const auto proxy = portal ? HttpGet::ProxyUse::System : HttpGet::ProxyUse::Never;
    if (!http->Open(host, user, password, command->timeoutMs, secure ? 1 : 0, connectPort, check, proxy)) {
        return false; // stays Busy: the page's own limit ends its wait
    }
    {
        std::lock_guard<std::mutex> guard(runLock);
        running = true;
    }
    worker = std::thread([this, command, inputs = std::move(inputs), tag] { runWorker(*command, inputs, tag); });
    return true;
}

bool NvrClient::Stop()
{
    std::lock_guard<std::mutex> drive(driveLock);
    endWorker();
    return true;
}

// Cancels the request in flight before waiting, so the wait is short; the worker then finds its request
// failed and ends.
void NvrClient::endWorker()
{
    {
        std::lock_guard<std::mutex> guard(runLock);
        running = false;
    }
    runChanged.notify_all();
    http->Close();
    if (worker.joinable()) {
        worker.join();
    }
}

bool NvrClient::pauseWorker(std::chrono::milliseconds duration)
{
    WaitTimeline::Note("request pause", static_cast<uint32_t>(duration.count()));
    std::unique_lock<std::mutex> guard(runLock);
    return !runChanged.wait_for(guard, duration, [this] { return !running; });
}

void NvrClient::runWorker(const DeviceCommand& command, const CommandInputs& inputs, uint32_t tag)
{
    pauseWorker(std::chrono::milliseconds(100));
    CommandOutputs before;
    {
        std::lock_guard<std::mutex> guard(resultLock);
        before = outputs;
    }
    CommandContext context(
        *http, inputs, before, [this](std::chrono::milliseconds duration) { return pauseWorker(duration); });
    CommandResult result = command.perform(context);
    if (result.state == Done || result.state == Failed) {
        finishCommand(tag, result.state, [&] {
            if (result.write) {
                result.write(outputs);
            }
            outputs.answerStatus = context.LastStatus();
        });
    }
    // The connection is not kept between commands. The worker does not wait for itself: a command issued
    // now only waits for this thread to return.
    http->Close();
}

std::string NvrClient::AnswerText() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return State() == Done ? outputs.answerText : std::string();
}

std::string NvrClient::AnswerResult() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    const int32_t state = State();
    return state == Busy ? std::string() : state == Done ? outputs.answerText : std::string("-1");
}

std::string NvrClient::NextListItem()
{
    std::lock_guard<std::mutex> guard(resultLock);
    if (State() != Done) {
        return {};
    }
    if (outputs.listNext < outputs.list.size()) {
        return outputs.list[outputs.listNext++];
    }
    outputs.listNext = 0; // one empty text after the last item, then from the first again
    return {};
}

int32_t NvrClient::AnswerStatus() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return outputs.answerStatus;
}

int32_t NvrClient::FormatProgress() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return outputs.formatProgress;
}

std::string NvrClient::PortalInfo() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    const int32_t state = State();
    if (state != Done) {
        return state == Busy ? std::string() : std::string("-1");
    }
    std::string joined;
    for (size_t i = 0; i < outputs.portal.size(); ++i) {
        joined += (i == 0 ? "" : "&") + outputs.portal[i];
    }
    return joined;
}

int32_t NvrClient::ErrCount() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return outputs.errCount;
}

std::string NvrClient::PortalCookie() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return outputs.cookie;
}

// ---- Command methods: store the inputs, issue the command -------------------------------------------------

bool NvrClient::FormatDisk(const std::string& host, int port, const std::string& user, const std::string& password,
    int32_t storageId, int32_t partition, int32_t fileSystem)
{
    CommandInputs in;
    in.storageId = storageId;
    in.partition = partition;
    in.fileSystem = fileSystem;
    return Issue(CommandFormatDisk, std::move(in), host, port, user, password);
}

bool NvrClient::PollFormat(const std::string& host, int port, const std::string& user, const std::string& password)
{
    return Issue(CommandPollFormat, CommandInputs(), host, port, user, password);
}

bool NvrClient::AddCamera(const std::string& host, int port, const std::string& user, const std::string& password,
    int32_t avdevId, const std::string& avdevName, const std::string& hostName, const std::string& hostId,
    int32_t protocolType, const std::string& account, const std::string& accountPassword, const std::string& brand,
    const std::string& product)
{
    CommandInputs in;
    in.avdevId = avdevId;
    in.avdevName = avdevName;
    in.hostName = hostName;
    in.hostId = hostId;
    in.protocolType = protocolType;
    in.account = account;
    in.accountPassword = accountPassword;
    in.brand = brand;
    in.product = product;
    return Issue(CommandAddCamera, std::move(in), host, port, user, password);
}

bool NvrClient::DeleteCamera(
    const std::string& host, int port, const std::string& user, const std::string& password, int32_t avdevId)
{
    CommandInputs in;
    in.avdevId = avdevId;
    return Issue(CommandDeleteCamera, std::move(in), host, port, user, password);
}

bool NvrClient::SetCloudRegStatus(
    const std::string& host, int port, const std::string& user, const std::string& password, int32_t status)
{
    CommandInputs in;
    in.cloudStatus = status;
    return Issue(CommandSetCloudRegStatus, std::move(in), host, port, user, password);
}

bool NvrClient::GetCloudPortal(const std::string& host, int port, const std::string& user, const std::string& password)
{
    return Issue(CommandGetCloudPortal, CommandInputs(), host, port, user, password);
}

bool NvrClient::SetCloudRegInfo(const std::string& host, int port, const std::string& user, const std::string& password,
    const std::string& email, const std::string& cloudPassword)
{
    CommandInputs in;
    in.cloudEmail = email;
    in.cloudPassword = cloudPassword;
    return Issue(CommandSetCloudRegInfo, std::move(in), host, port, user, password);
}

bool NvrClient::DiscoverCameras(const std::string& host, int port, const std::string& user, const std::string& password)
{
    return Issue(CommandDiscoverCameras, CommandInputs(), host, port, user, password);
}

bool NvrClient::CheckCameraLogin(
    const std::string& host, int port, const std::string& user, const std::string& password)
{
    return Issue(CommandCheckCameraLogin, CommandInputs(), host, port, user, password);
}

bool NvrClient::SetCameraPassword(const std::string& host, int port, const std::string& user,
    const std::string& currentPassword, const std::string& newPassword)
{
    CommandInputs in;
    in.newCameraPassword = newPassword;
    return Issue(CommandSetCameraPassword, std::move(in), host, port, user, currentPassword);
}

bool NvrClient::PortalSignUp(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
    const std::string& lang, const std::string& email, const std::string& password, const std::string& passwordVerify,
    const std::string& nameFirst, const std::string& nameLast)
{
    CommandInputs in = portalInputs(client, wizardVersion, lang);
    in.email = email;
    in.password = password;
    in.passwordVerify = passwordVerify;
    in.nameFirst = nameFirst;
    in.nameLast = nameLast;
    return Issue(CommandPortalSignUp, std::move(in), portalHost, 443, "", "");
}

bool NvrClient::PortalSignIn(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
    const std::string& lang, const std::string& email, const std::string& password)
{
    CommandInputs in = portalInputs(client, wizardVersion, lang);
    in.email = email;
    in.password = password;
    return Issue(CommandPortalSignIn, std::move(in), portalHost, 443, "", "");
}

bool NvrClient::PortalBind(const std::string& portalHost, const std::string& client, const std::string& wizardVersion,
    const std::string& lang, const std::string& tovraNo, const std::string& devicePassword, const std::string& dfp)
{
    CommandInputs in = portalInputs(client, wizardVersion, lang);
    in.tovraNo = tovraNo;
    in.devicePassword = devicePassword;
    in.dfp = dfp;
    return Issue(CommandPortalBind, std::move(in), portalHost, 443, "", "");
}
