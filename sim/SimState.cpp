// Shared device state and the state file.
#include "SimState.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t maxEvents = 400; // the state file keeps the latest requests only

} // namespace

SimState::SimState(const Scenario& scenario)
    : portal(scenario.portal)
{
    for (const auto& setup : scenario.recorders) {
        RecorderState r;
        r.setup = setup;
        r.password = setup.password;
        r.zone = setup.zone;
        for (const auto& disk : setup.disks) {
            DiskState d;
            d.setup = disk;
            d.pluggedAt = std::chrono::steady_clock::now();
            d.fsCode = disk.plugged ? (disk.formatted ? 1 : 3) : 0;
            r.disks.push_back(d);
        }
        r.cloudStatus = setup.cloudStatus;
        r.cloudEmail = setup.cloudEmail;
        r.cloudPassword = setup.cloudPassword;
        recorders.push_back(r);
    }
    for (const auto& setup : scenario.cameras) {
        CameraState c;
        c.setup = setup;
        c.password = setup.password;
        cameras.push_back(c);
    }
    // Cameras registered from the start, in slot order, with what the recorder would have stored.
    for (auto& r : recorders) {
        int slot = 0;
        for (const auto& name : r.setup.registered) {
            const CameraState* c = camera(name);
            RegisteredCamera reg;
            reg.slot = slot++;
            reg.name = c->setup.model;
            reg.host = Scenario::ipText(c->setup.ip) + (c->setup.port != 80 ? ":" + std::to_string(c->setup.port) : "");
            reg.hostId = Scenario::macText(c->setup.mac);
            reg.protocol = 1;
            reg.protocolType = c->setup.protocolType;
            reg.account = "admin";
            reg.password = c->password;
            reg.brand = c->setup.brand;
            reg.product = c->setup.model;
            r.cameras.push_back(reg);
        }
    }
    for (const auto& setup : scenario.accounts) {
        PortalAccount a;
        a.setup = setup;
        a.bindings = setup.devices;
        accounts.push_back(a);
    }
}

void SimState::advanceFormats(RecorderState& recorder) const
{
    auto now = std::chrono::steady_clock::now();
    for (auto& d : recorder.disks) {
        if (d.setup.plugged && !d.setup.ready && d.setup.readyMs > 0
            && now - d.pluggedAt >= std::chrono::milliseconds(d.setup.readyMs)) {
            d.setup.ready = true; // spun up
        }
        if (!d.formatting) {
            continue;
        }
        long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - d.formatStart).count();
        long long total = recorder.setup.formatMs;
        // Progress starts at 1 so a poll right after the start already shows a running job.
        d.progress = total <= 0 ? 100 : static_cast<int>(std::min<long long>(100, 1 + ms * 99 / total));
        if (d.stallAt >= 0 && d.progress >= d.stallAt) {
            d.progress = d.stallAt; // the job hangs there
            continue;
        }
        if (d.failAt >= 0 && d.progress >= d.failAt) {
            d.formatting = false; // the job broke off: the disk is as it was
            d.progress = -1;
            continue;
        }
        if (d.progress >= 100) {
            d.formatting = false;
            d.setup.formatted = true;
            d.setup.ready = true;
            d.setup.partitions = 1;
            d.fsCode = d.lastFs;
            ++d.formatCount;
        }
    }
}

void SimState::addLiveFaults(const std::string& device, const FaultSet& faults)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& fault : faults.all()) {
        liveHttpFaults[device].append(fault);
    }
}

void SimState::clearLiveFaults(const std::string& device)
{
    std::lock_guard<std::mutex> lock(mutex);
    liveHttpFaults.erase(device);
}

FaultSet SimState::liveFaultsFor(const std::string& device, const std::string& subject, bool use)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = liveHttpFaults.find(device);
    return it == liveHttpFaults.end() ? FaultSet() : it->second.forRequest(subject, use);
}

long long SimState::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
}

RecorderState* SimState::recorder(const std::string& name)
{
    for (auto& r : recorders) {
        if (r.setup.name == name) {
            return &r;
        }
    }
    return nullptr;
}

CameraState* SimState::camera(const std::string& name)
{
    for (auto& c : cameras) {
        if (c.setup.name == name) {
            return &c;
        }
    }
    return nullptr;
}

const RecorderState* SimState::recorder(const std::string& name) const
{
    return const_cast<SimState*>(this)->recorder(name);
}

const CameraState* SimState::camera(const std::string& name) const
{
    return const_cast<SimState*>(this)->camera(name);
}

PortalAccount* SimState::account(const std::string& email)
{
    for (auto& a : accounts) {
        if (a.setup.email == email) {
            return &a;
        }
    }
    return nullptr;
}

void SimState::update(const std::function<void(SimState&)>& change)
{
    std::lock_guard lock(mutex);
    change(*this);
    writeLocked();
}

void SimState::read(const std::function<void(const SimState&)>& reader) const
{
    std::lock_guard lock(mutex);
    reader(*this);
}

void SimState::record(SimEvent event)
{
    std::lock_guard lock(mutex);
    event.ms = elapsedMs();
    events.push_back(std::move(event));
    ++eventCount;
    while (events.size() > maxEvents) {
        events.pop_front();
    }
    writeLocked();
}

void SimState::save()
{
    std::lock_guard lock(mutex);
    writeLocked();
}

void SimState::writeLocked()
{
    if (stateFile.empty()) {
        return;
    }
    // Write beside the file and rename over it, so a reader never sees half a file.
    std::string text = json();
    std::string temporary = stateFile + ".tmp";
    // Every password in clear: the owner's only.
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 || ::fchmod(fd, 0600) != 0) { // a file left from an earlier run keeps its mode otherwise
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done == text.size()) {
        std::rename(temporary.c_str(), stateFile.c_str());
    }
}

std::string SimState::json() const
{
    // Keys stay in the order written here, so the file reads as the state is laid out.
    using Json = nlohmann::ordered_json;
    Json recorderList = Json::array();
    for (const auto& r : recorders) {
        Json disks = Json::array();
        for (size_t i = 0; i < r.disks.size(); ++i) {
            const auto& d = r.disks[i];
            disks.push_back({ { "port", static_cast<int>(i + 1) }, { "plugged", d.setup.plugged },
                { "ready", d.setup.ready }, { "sizeGb", d.setup.sizeGb }, { "formatted", d.setup.formatted },
                { "formatCount", d.formatCount }, { "formatting", d.formatting }, { "lastFs", d.lastFs },
                { "lastPartition", d.lastPartition }, { "fsCode", d.fsCode }, { "progress", d.progress } });
        }
        Json cameraList = Json::array();
        for (const auto& c : r.cameras) {
            cameraList.push_back({ { "slot", c.slot }, { "name", c.name }, { "host", c.host }, { "hostId", c.hostId },
                { "protocol", c.protocol }, { "protocolType", c.protocolType }, { "account", c.account },
                { "password", c.password }, { "brand", c.brand }, { "product", c.product } });
        }
        recorderList.push_back({ { "name", r.setup.name }, { "model", r.setup.model },
            { "mac", Scenario::macText(r.setup.mac) }, { "ip", Scenario::ipText(r.setup.ip) },
            { "webPort", r.setup.webPort }, { "password", r.password }, { "passwordChanges", r.passwordChanges },
            { "zone", r.zone }, { "recording", r.recording }, { "disks", disks }, { "cameras", cameraList },
            { "cloud",
                { { "access", r.setup.cloudAccess }, { "status", r.cloudStatus }, { "email", r.cloudEmail },
                    { "password", r.cloudPassword }, { "portalNumber", r.setup.portalNumber },
                    { "portalDfp", r.setup.portalDfp } } } });
    }
    Json cameraList = Json::array();
    for (const auto& c : cameras) {
        cameraList.push_back({ { "name", c.setup.name }, { "model", c.setup.model },
            { "mac", Scenario::macText(c.setup.mac) }, { "ip", Scenario::ipText(c.setup.ip) }, { "port", c.setup.port },
            { "protocolType", c.setup.protocolType }, { "auth", c.setup.auth }, { "password", c.password },
            { "passwordChanges", c.passwordChanges }, { "streamsOpened", c.streamsOpened },
            { "streamsOpen", c.streamsOpen }, { "framesSent", c.framesSent } });
    }
    Json accountList = Json::array();
    for (const auto& a : accounts) {
        accountList.push_back({ { "email", a.setup.email }, { "password", a.setup.password },
            { "first", a.setup.firstName }, { "last", a.setup.lastName }, { "signedIn", !a.session.empty() },
            { "failedSignIns", a.failedSignIns }, { "bindings", a.bindings } });
    }
    Json eventList = Json::array();
    for (const auto& e : events) {
        eventList.push_back({ { "ms", e.ms }, { "device", e.device }, { "kind", e.kind }, { "peer", e.peer },
            { "detail", e.detail }, { "result", e.result } });
    }
    Json state;
    state["uptimeMs"] = elapsedMs();
    state["recorders"] = std::move(recorderList);
    state["cameras"] = std::move(cameraList);
    state["portal"] = { { "enabled", portal.enabled }, { "host", portalHost }, { "ip", Scenario::ipText(portal.ip) },
        { "signUps", portalSignUps }, { "signIns", portalSignIns }, { "binds", portalBinds },
        { "accounts", std::move(accountList) } };
    state["eventCount"] = eventCount;
    state["events"] = std::move(eventList);
    // Device texts come from scenarios and requests: bytes that are not UTF-8 show as U+FFFD rather than stopping
    // the write.
    return state.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
