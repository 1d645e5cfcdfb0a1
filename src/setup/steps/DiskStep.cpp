#include "setup/steps/DiskStep.h"

#include "device/AnswerParser.h"
#include "device/NvrClient.h"
#include "net/HttpGet.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr int kMaxPartitions = 16;

std::string PortName(int port)
{
    return "HD" + std::to_string(port + 1);
}

} // namespace

DiskStep::DiskStep(NvrClient& requestObject)
    : StepWorker(&requestObject)
{
}

DiskStep::~DiskStep()
{
    Stop();
}

DiskPort DiskStep::ReadPort(const std::string& answer, int32_t previousFsCode)
{
    DiskPort port;
    port.read = true;
    int32_t plugged = 0;
    int32_t ready = 0;
    port.fsCode = previousFsCode;
    StorageWatch::ReadAnswer(answer, plugged, ready, port.fsCode);
    port.plugged = plugged == 1;
    port.ready = ready == 1;
    port.description = StorageWatch::ReadDescription(answer);
    AnswerParser parser(answer);
    parser.SplitPairs("\r\n");
    // partitioninfo1, partitioninfo2, ...: one line per partition
    while (port.partitions < kMaxPartitions
        && !parser.Value("partitioninfo" + std::to_string(port.partitions + 1)).empty())
        ++port.partitions;
    return port;
}

bool DiskStep::AlreadyFormatted(const DiskPort& port)
{
    return port.read && port.plugged && port.ready && port.partitions == 1 && FileSystemFor(port.fsCode) == port.fsCode;
}

void DiskStep::StartList(const RecorderAccess& recorder)
{
    Begin([this, recorder] {
        DiskResult found;
        list(recorder, found);
        publish(found);
    });
}

DiskResult DiskStep::List(const RecorderAccess& recorder, const std::atomic<bool>* stop)
{
    StartList(recorder);
    WaitEnd(stop);
    return Result();
}

void DiskStep::StartFormat(
    const RecorderAccess& recorder, std::array<bool, 2> targets, std::array<int32_t, 2> fileSystems)
{
    currentDisk.store(0);
    progress.store(0);
    Begin([this, recorder, targets, fileSystems] {
        DiskResult found;
        found.targets = targets;
        format(recorder, targets, fileSystems, found);
        publish(found);
    });
}

DiskResult DiskStep::Run(const RecorderAccess& recorder, std::array<bool, 2> wanted, const std::atomic<bool>* stop)
{
    // What the ports hold, once every plugged disk is ready (the disk page's checking box waits as long).
    DiskResult seen;
    const auto checkDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCheckLimitMs);
    for (;;) {
        seen = List(recorder, stop);
        const bool settling = seen.outcome == StepOutcome::Done
            && ((seen.ports[0].plugged && !seen.ports[0].ready) || (seen.ports[1].plugged && !seen.ports[1].ready));
        if (!settling || std::chrono::steady_clock::now() >= checkDeadline || (stop != nullptr && stop->load()))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(StorageWatch::kCycleMs));
    }
    if (seen.outcome != StepOutcome::Done)
        return seen;

    DiskResult plan = seen;
    std::array<int32_t, 2> fileSystems {};
    bool failed = false;
    for (int i = 0; i < 2; ++i) {
        const size_t port = static_cast<size_t>(i);
        if (!wanted[port])
            continue;
        const DiskPort& disk = seen.ports[port];
        if (!disk.plugged) {
            plan.portResults[port] = "no disk";
            failed = true;
        } else if (!disk.ready) {
            plan.portResults[port] = "not ready";
            failed = true;
        } else if (AlreadyFormatted(disk)) {
            plan.kept[port] = true;
            plan.portResults[port] = "kept";
        } else {
            plan.targets[port] = true;
            fileSystems[port] = FileSystemFor(disk.fsCode);
        }
    }

    if (plan.targets[0] || plan.targets[1]) {
        StartFormat(recorder, plan.targets, fileSystems);
        WaitEnd(stop, kPollMs, kFormatLimitMs);
        const DiskResult done = Result();
        for (size_t port = 0; port < 2; ++port) {
            if (!plan.targets[port])
                continue;
            plan.formatted[port] = done.formatted[port];
            plan.portResults[port] = done.formatted[port] ? "formatted" : "not formatted";
            failed = failed || !done.formatted[port];
        }
    }

    plan.reason.clear();
    for (int i = 0; i < 2; ++i) {
        const size_t port = static_cast<size_t>(i);
        if (wanted[port] && plan.portResults[port] != "formatted" && plan.portResults[port] != "kept")
            plan.reason += (plan.reason.empty() ? "" : ", ") + PortName(i) + ": " + plan.portResults[port];
    }
    if (failed)
        plan.outcome = StepOutcome::Failed;
    else if (plan.targets[0] || plan.targets[1])
        plan.outcome = StepOutcome::Done;
    else
        plan.outcome = StepOutcome::AlreadyDone;
    return plan;
}

DiskResult DiskStep::Result() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return result;
}

void DiskStep::publish(const DiskResult& found)
{
    std::lock_guard<std::mutex> guard(resultLock);
    result = found;
}

// On the step's thread: the storage information of one port, as the storage watch asks for it; nothing when it
// could not be read.
std::optional<DiskPort> DiskStep::readPort(const RecorderAccess& recorder, int port)
{
    HttpGet http;
    std::vector<char> buffer(kAnswerBufferSize, 0);
    size_t size = buffer.size();
    bool fetched = false;
    if (OpenRequest(http, recorder.ip, recorder.user, recorder.password, kRequestTimeoutMs, 0, recorder.webPort)) {
        fetched = Running()
            && http.GetAuthorised("/config/storageinfo?storageid=" + std::to_string(port), buffer.data(), &size);
        int status = 0;
        fetched = fetched && http.QueryStatusCode(status) && status >= 200 && status <= 299;
    }
    ForgetRequest();
    if (!fetched)
        return std::nullopt;
    return ReadPort(std::string(buffer.data(), size)); // every byte: a zero byte costs its own line only
}

// On the step's thread: one storage-information request per port.
void DiskStep::list(const RecorderAccess& recorder, DiskResult& out)
{
    for (int port = 0; port < 2 && Running(); ++port) {
        if (std::optional<DiskPort> read = readPort(recorder, port))
            out.ports[static_cast<size_t>(port)] = *read;
    }
    const bool read = out.ports[0].read && out.ports[1].read;
    out.outcome = read ? StepOutcome::Done : StepOutcome::Failed;
    out.reason = read ? std::string() : "the recorder's storage information could not be read";
}

// On the step's thread: formats the target ports one after the other through the request object. A port counts
// as formatted only when a poll after its own format command said 100 and the port's storage information then
// shows its disk ready with the file system asked for: the poll names no disk, so a 100 left from the disk before
// (a disk pulled, a format refused) is never taken for this one's. Anything else leaves it unformatted and ends
// the work; a refused format command (any status but 2xx) ends it at once.
void DiskStep::format(const RecorderAccess& recorder, const std::array<bool, 2>& targets,
    const std::array<int32_t, 2>& fileSystems, DiskResult& out)
{
    client->Stop();
    for (int port = 0; port < 2 && Running(); ++port) {
        currentDisk.store(port);
        progress.store(0);
        if (!targets[static_cast<size_t>(port)])
            continue;
        if (!Pause(500, "format pause"))
            break;
        client->Stop();
        if (!Pause(500, "format pause"))
            break;
        if (!client->FormatDisk(recorder.ip, recorder.webPort, recorder.user, recorder.password, port, 0,
                fileSystems[static_cast<size_t>(port)]))
            break; // it could not even start: the port stays unformatted
        if (Settle(10, 3000, "format pause") != NvrClient::Done)
            break;
        client->Stop();

        bool reached = false;
        for (int cycle = 0; cycle < 3000 && !reached && Pause(10, "format pause"); ++cycle) {
            if (!client->PollFormat(recorder.ip, recorder.webPort, recorder.user, recorder.password))
                continue;
            const int32_t state = Settle(50, 6000, "format pause");
            const int32_t value = client->FormatProgress();
            client->Stop();
            if (state != NvrClient::Done)
                break; // stopped, or the poll failed
            if (value > 0) {
                progress.store(std::min(value, 100));
                reached = value >= 100;
            } else if (value < 0) {
                break; // the recorder says the formatting failed: no later poll can reach 100
            } else if (!Pause(kRepollMs, "format pause")) {
                break; // a poll without progress is asked again after a pause, never read again
            }
        }
        if (!reached || !confirmFormatted(recorder, port, fileSystems[static_cast<size_t>(port)]))
            break;
        out.formatted[static_cast<size_t>(port)] = true;
    }
    client->Stop();
    bool all = true;
    for (size_t port = 0; port < 2; ++port)
        all = all && (!targets[port] || out.formatted[port]);
    out.outcome = all ? StepOutcome::Done : StepOutcome::Failed;
    out.reason.clear();
    for (int port = 0; port < 2; ++port) {
        if (targets[static_cast<size_t>(port)] && !out.formatted[static_cast<size_t>(port)])
            out.reason += (out.reason.empty() ? "" : ", ") + PortName(port) + " was not formatted";
    }
}

// On the step's thread: whether the port's storage information shows the disk formatted as asked. The recorder
// may take a moment to report a finished disk as ready: asked a few times, half a second apart.
bool DiskStep::confirmFormatted(const RecorderAccess& recorder, int port, int32_t fileSystem)
{
    for (int attempt = 0; attempt < kConfirmAttempts && Running(); ++attempt) {
        if (attempt > 0 && !Pause(kRepollMs, "format pause"))
            return false;
        const std::optional<DiskPort> read = readPort(recorder, port);
        if (!read)
            continue;
        if (!read->plugged)
            return false; // pulled: whatever the poll said was not this disk's
        if (read->ready && read->partitions >= 1 && read->fsCode == fileSystem)
            return true;
    }
    return false;
}
