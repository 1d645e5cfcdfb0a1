#include "setup/run/RecorderSetUp.h"

#include "device/NvrClient.h"
#include "setup/run/PlanProgress.h"

#include <algorithm>
#include <chrono>

namespace {

std::string PortName(size_t port)
{
    return "HD" + std::to_string(port + 1);
}

// The disk as the report shows it: the recorder's name for it and its size in (decimal) gigabytes.
std::string DiskText(const DiskPort& port)
{
    if (port.description.name.empty())
        return std::string();
    if (port.description.capacityBytes <= 0)
        return port.description.name;
    const long long gigabytes = std::max(1LL, (port.description.capacityBytes + 500000000LL) / 1000000000LL);
    return port.description.name + " (" + std::to_string(gigabytes) + " GB)";
}

// A step's progress line: what it did, what already held, or that `what` failed and why.
std::string ProgressLine(StepOutcome outcome, const std::string& done, const std::string& already,
    const std::string& what, const std::string& reason)
{
    if (outcome == StepOutcome::Done)
        return done;
    if (outcome == StepOutcome::AlreadyDone)
        return already;
    return what + " failed: " + reason;
}

} // namespace

RecorderSetUp::RecorderSetUp(
    SearchDevice& search, PlanProgress& progress, const std::atomic<bool>& stop, const std::string& programVersion)
    : search(search)
    , progress(progress)
    , stop(stop)
    , programVersion(programVersion)
{
}

void RecorderSetUp::record(PlanTarget& target, const char* step, StepOutcome outcome, const std::string& detail,
    const std::string& progressLine) const
{
    target.steps.push_back({ step, outcome, detail });
    if (!progressLine.empty())
        progress.Line(target.mac + ": " + progressLine);
}

void RecorderSetUp::Run(PlanTarget& target) const
{
    const PlanRecorder& recorder = *target.plan;
    ReportRecorder& report = target.report;
    report.model = target.model;
    report.address = target.ip;
    report.mac = target.mac;
    report.webPort = target.webPort;
    progress.Line(target.mac + ": setting up the recorder at " + target.ip);
    const auto started = std::chrono::steady_clock::now();
    NvrClient client;

    {
        AdminPasswordStep step(search, client);
        const AdminPasswordResult r
            = step.Run(AdminPasswordStep::Mode::Apply, target.Access(""), recorder.password, &stop);
        record(target, PlanStep::kPassword, r.outcome, r.reason,
            ProgressLine(r.outcome, "administrator password set", "administrator password already set",
                "administrator password", r.reason));
        if (r.outcome == StepOutcome::Failed) {
            target.SkipRest(PlanStep::kPassword);
            progress.Line(target.mac + ": the rest is skipped");
            return;
        }
    }
    const RecorderAccess access = target.Access(recorder.password);
    if (target.Asks(PlanStep::kZone))
        setZone(target, access);
    if (target.Asks(PlanStep::kDisks))
        formatDisks(target, access, client);
    if (target.Asks(PlanStep::kCameras))
        registerCameras(target, access, client);
    if (target.Asks(PlanStep::kCloud))
        bindCloud(target, access, client);
    const auto tenths
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()
        / 100;
    progress.Line(
        target.mac + ": finished in " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s");
}

void RecorderSetUp::setZone(PlanTarget& target, const RecorderAccess& access) const
{
    TimeZoneStep step;
    TimeZoneResult r;
    if (target.zoneNumber > 0) {
        r = step.Run(access, target.zoneNumber, &stop);
    } else {
        r.reason = "the recorder's zone list could not be read";
    }
    std::string name;
    if (r.zoneSet >= 1 && static_cast<size_t>(r.zoneSet) <= r.names.size())
        name = r.names[static_cast<size_t>(r.zoneSet - 1)];
    if (r.outcome != StepOutcome::Failed)
        target.report.zone = name;
    record(target, PlanStep::kZone, r.outcome, r.reason,
        ProgressLine(r.outcome, "zone set to " + name, "zone already " + name, "zone", r.reason));
}

void RecorderSetUp::formatDisks(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const
{
    const PlanRecorder& recorder = *target.plan;
    DiskStep step(client);
    std::array<bool, 2> wanted = target.wantedDisks;
    if (!wanted[0] && !wanted[1]) { // not known before: every port the plan names, or both
        for (size_t port = 0; port < 2; ++port)
            wanted[port] = recorder.disks == PlanRecorder::Disks::All
                || std::find(recorder.diskIds.begin(), recorder.diskIds.end(), int(port + 1))
                    != recorder.diskIds.end();
    }
    progress.Line(target.mac + ": checking the disks");
    const DiskResult r = step.Run(access, wanted, &stop);
    for (size_t port = 0; port < 2; ++port) {
        if (!wanted[port])
            continue;
        target.report.disks.push_back({ static_cast<int32_t>(port + 1), DiskText(r.ports[port]),
            r.portResults[port].empty() ? "not formatted" : r.portResults[port] });
        if (r.portResults[port] == "formatted")
            progress.Line(target.mac + ": " + PortName(port) + " formatted");
        else if (r.portResults[port] == "kept")
            progress.Line(target.mac + ": " + PortName(port) + " already formatted, kept");
    }
    record(target, PlanStep::kDisks, r.outcome, r.reason,
        r.outcome == StepOutcome::Failed ? "disks failed: " + r.reason : std::string());
}

void RecorderSetUp::registerCameras(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const
{
    CameraStep step(search, client);
    std::vector<WantedCamera> wanted;
    for (const PlanCamera& camera : target.plan->cameras)
        wanted.push_back({ camera.mac, camera.password, camera.name });
    const CameraResult r = step.Run(access, wanted, &stop);
    std::string names;
    for (const CameraResult::Camera& camera : r.cameras) {
        if (!camera.registered)
            continue;
        target.report.cameras.push_back({ camera.model, camera.ip, UpperCase(camera.mac), camera.name });
        names += (names.empty() ? "" : ", ") + camera.name + " (" + camera.ip + ")";
    }
    record(target, PlanStep::kCameras, r.outcome, r.reason,
        ProgressLine(
            r.outcome, "cameras registered: " + names, "cameras already registered: " + names, "cameras", r.reason));
}

void RecorderSetUp::bindCloud(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const
{
    CloudStep step(client);
    const PlanCloud& cloud = *target.plan->cloud;
    const CloudStep::Account account { cloud.email, cloud.password, cloud.signUp, cloud.firstName, cloud.lastName,
        cloud.portalHost };
    const CloudResult r = step.Run(access, account, std::string(kPlanRecorderModel) + "_" + programVersion, &stop);
    if (r.outcome != StepOutcome::Failed) {
        target.report.cloudAccount = r.account;
        target.report.cloudNumber = r.boundNumber;
    }
    record(target, PlanStep::kCloud, r.outcome, r.reason,
        ProgressLine(r.outcome, "bound to the cloud account " + r.account + " as " + r.boundNumber,
            "already bound to the cloud account " + r.account, "cloud", r.reason));
}
