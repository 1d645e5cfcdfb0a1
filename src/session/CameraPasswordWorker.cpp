#include "session/CameraPasswordWorker.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "platform/WaitTimeline.h"

#include <cctype>
#include <chrono>
#include <optional>

namespace {

// The discovery table's lookups compare texts exactly, and its byte parsers skip what they do not know; a
// datagram goes only to an address and a MAC that are well-formed.

// Format: a.b.c.d, four decimal pieces of 1 to 3 digits, each at most 255.
bool WellFormedIp(const std::string& text)
{
    int pieces = 0;
    size_t at = 0;
    while (pieces < 4) {
        size_t digits = 0;
        int value = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && digits < 3) {
            value = value * 10 + (text[at] - '0');
            ++digits;
            ++at;
        }
        if (digits == 0 || value > 255)
            return false;
        ++pieces;
        if (pieces < 4) {
            if (at >= text.size() || text[at] != '.')
                return false;
            ++at;
        }
    }
    return at == text.size();
}

// Format: six ":"-separated pieces of 1 or 2 hexadecimal digits in either case; the lower-case text.
std::optional<std::string> WellFormedMac(const std::string& text)
{
    std::string lower;
    int pieces = 1;
    int digits = 0; // in the current piece
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ':' && digits > 0 && pieces < 6) {
            ++pieces;
            digits = 0;
        } else if (std::isxdigit(byte) && digits < 2) {
            ++digits;
        } else {
            return std::nullopt;
        }
        lower += static_cast<char>(std::tolower(byte));
    }
    if (pieces != 6 || digits == 0)
        return std::nullopt;
    return lower;
}

} // namespace

CameraPasswordWorker::CameraPasswordWorker(SearchDevice& discoveryTable, CameraPasswordJob givenJob, Report onOutcome)
    : job(std::move(givenJob))
    , discovery(discoveryTable)
    , report(std::move(onOutcome))
    , client(std::make_unique<NvrClient>())
{
}

CameraPasswordWorker::~CameraPasswordWorker()
{
    Stop();
}

void CameraPasswordWorker::Start()
{
    if (started.exchange(true))
        return;
    runFlag.store(1);
    thread = std::thread(&CameraPasswordWorker::run, this);
}

void CameraPasswordWorker::Stop()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        runFlag.store(0);
    }
    wake.notify_all();
    // Ends an HTTP request in flight at once; a datagram command ends with the worker's next look at the flag.
    client->Stop();
    if (thread.joinable())
        thread.join();
}

bool CameraPasswordWorker::sleep(int ms)
{
    WaitTimeline::Note("camera password pause", static_cast<uint32_t>(ms));
    std::unique_lock<std::mutex> guard(lock);
    wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !running(); });
    return running();
}

int CameraPasswordWorker::PortInAddress(const std::string& address)
{
    const size_t colon = address.find(':');
    if (colon == std::string::npos)
        return 0;
    const std::string digits = address.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return 0;
    int port = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        port = port * 10 + (c - '0');
    }
    return port <= 65535 ? port : 0;
}

CameraTarget CameraPasswordWorker::Resolve(const CameraPasswordJob& job, const SearchDevice& discovery)
{
    CameraTarget target;
    target.host = job.address.substr(0, job.address.find(':'));
    const std::optional<std::string> mac = WellFormedMac(job.mac);

    if (!job.useUdp) {
        // The camera's discovery record knows its web port; a camera that did not answer the search is reached on
        // the port its address names.
        int32_t index = job.mac.empty() ? -1 : discovery.FindByMac(job.mac);
        if (index < 0 && mac && *mac != job.mac)
            index = discovery.FindByMac(*mac);
        const int recordPort = index >= 0 ? discovery.WebPort(index) : 0;
        target.port = recordPort > 0 ? recordPort : PortInAddress(job.address);
        target.sendable = !target.host.empty();
        return target;
    }

    if (target.host.empty() || !mac || !WellFormedIp(target.host))
        return target;
    const int32_t interfaceIndex = discovery.InterfaceForIp(target.host);
    if (interfaceIndex < 0)
        return target;
    target.localAddress = discovery.LocalAddress(interfaceIndex);
    target.sendable = !target.localAddress.empty() && SearchDevice::ParseIpText(target.host, target.ip)
        && SearchDevice::ParseMacText(*mac, target.mac);
    return target;
}

bool CameraPasswordWorker::SendHttpConfirmation(NvrClient&, const CameraTarget&)
{
    return false;
}

int32_t CameraPasswordWorker::awaitAnswer()
{
    int32_t state = NvrClient::Busy;
    for (int poll = 0; poll < kPolls && state == NvrClient::Busy; ++poll) {
        if (!sleep(kPollMs))
            break;
        state = client->State();
    }
    return state;
}

void CameraPasswordWorker::run()
{
    bool accepted = false;
    if (running()) {
        const CameraTarget target = Resolve(job, discovery);
        bool sent = false;
        if (target.sendable) {
            if (job.useUdp)
                sent = client->OpenUdp(target.localAddress) && SendDatagram(*client, target);
            else
                sent = SendHttp(*client, target);
        }
        const int32_t state = sent ? awaitAnswer() : NvrClient::Failed;
        accepted = sent && running() && state == NvrClient::Done && TakenWhenDone(*client);
        // A camera may take a change and confirm it where it is not looked for: before saying it failed, the
        // request object asks once whether the job took effect after all.
        if (sent && !accepted && !job.useUdp && running()) {
            client->Stop();
            if (SendHttpConfirmation(*client, target))
                accepted = awaitAnswer() == NvrClient::Done && running();
        }
    }
    decided.store(true);
    if (report)
        report(job, accepted);
    // The worker stays for one more second; a job handed on meanwhile waits for it to end.
    sleep(kTailMs);
    client->Stop();
    finished.store(true);
}
