// Shared device state and the state file.
#include "SimState.h"

#include "JsonWriter.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
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
    JsonWriter w;
    w.beginObject();
    w.field("uptimeMs", elapsedMs());
    w.key("recorders").beginArray();
    for (const auto& r : recorders) {
        w.beginObject();
        w.field("name", r.setup.name).field("model", r.setup.model);
        w.field("mac", Scenario::macText(r.setup.mac)).field("ip", Scenario::ipText(r.setup.ip));
        w.field("webPort", r.setup.webPort).field("password", r.password);
        w.field("passwordChanges", r.passwordChanges);
        w.field("zone", r.zone).field("recording", r.recording);
        w.key("disks").beginArray();
        for (size_t i = 0; i < r.disks.size(); ++i) {
            const auto& d = r.disks[i];
            w.beginObject();
            w.field("port", static_cast<int>(i + 1)).field("plugged", d.setup.plugged).field("ready", d.setup.ready);
            w.field("sizeGb", d.setup.sizeGb).field("formatted", d.setup.formatted);
            w.field("formatCount", d.formatCount).field("formatting", d.formatting);
            w.field("lastFs", d.lastFs).field("lastPartition", d.lastPartition);
            w.field("fsCode", d.fsCode).field("progress", d.progress);
            w.endObject();
        }
        w.endArray();
        w.key("cameras").beginArray();
        for (const auto& c : r.cameras) {
            w.beginObject();
            w.field("slot", c.slot).field("name", c.name).field("host", c.host).field("hostId", c.hostId);
            w.field("protocol", c.protocol).field("protocolType", c.protocolType);
            w.field("account", c.account).field("password", c.password);
            w.field("brand", c.brand).field("product", c.product);
            w.endObject();
        }
        w.endArray();
        w.key("cloud").beginObject();
        w.field("access", r.setup.cloudAccess);
        w.field("status", r.cloudStatus).field("email", r.cloudEmail).field("password", r.cloudPassword);
        w.field("portalNumber", r.setup.portalNumber).field("portalDfp", r.setup.portalDfp);
        w.endObject();
        w.endObject();
    }
    w.endArray();
    w.key("cameras").beginArray();
    for (const auto& c : cameras) {
        w.beginObject();
        w.field("name", c.setup.name).field("model", c.setup.model);
        w.field("mac", Scenario::macText(c.setup.mac)).field("ip", Scenario::ipText(c.setup.ip));
        w.field("port", c.setup.port).field("protocolType", c.setup.protocolType).field("auth", c.setup.auth);
        w.field("password", c.password).field("passwordChanges", c.passwordChanges);
        w.field("streamsOpened", c.streamsOpened).field("streamsOpen", c.streamsOpen);
        w.field("framesSent", c.framesSent);
        w.endObject();
    }
    w.endArray();
    w.key("portal").beginObject();
    w.field("enabled", portal.enabled).field("host", portalHost).field("ip", Scenario::ipText(portal.ip));
    w.field("signUps", portalSignUps).field("signIns", portalSignIns).field("binds", portalBinds);
    w.key("accounts").beginArray();
    for (const auto& a : accounts) {
        w.beginObject();
        w.field("email", a.setup.email).field("password", a.setup.password);
        w.field("first", a.setup.firstName).field("last", a.setup.lastName);
        w.field("signedIn", !a.session.empty()).field("failedSignIns", a.failedSignIns);
        w.key("bindings").beginArray();
        for (const auto& b : a.bindings) {
            w.value(b);
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    w.endObject();
    w.field("eventCount", eventCount);
    w.key("events").beginArray();
    for (const auto& e : events) {
        w.beginObject();
        w.field("ms", e.ms).field("device", e.device).field("kind", e.kind).field("peer", e.peer);
        w.field("detail", e.detail).field("result", e.result);
        w.endObject();
    }
    w.endArray();
    w.endObject();
    std::string text = w.text();
    text += '\n';
    return text;
}
