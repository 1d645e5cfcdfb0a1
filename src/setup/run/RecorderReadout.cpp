#include "setup/run/RecorderReadout.h"

#include "device/NvrClient.h"
#include "session/CameraLine.h"
#include "session/CameraRules.h"
#include "setup/run/PlanProgress.h"

namespace {

constexpr size_t kMaxCameraLines = 256;

} // namespace

RecorderReadout::RecorderReadout(
    SearchDevice& search, PlanProgress& progress, const std::atomic<bool>& stop, bool dryRun)
    : search(search)
    , progress(progress)
    , stop(stop)
    , dryRun(dryRun)
{
}

bool RecorderReadout::TakenForNewTable(const PlanTarget& target)
{
    return target.password.probed && (target.password.newRecorder || target.password.passwordWorks);
}

void RecorderReadout::Read(PlanTarget& target) const
{
    NvrClient client;
    {
        AdminPasswordStep step(search, client);
        target.password = step.Run(AdminPasswordStep::Mode::Inspect, target.Access(""), target.plan->password, &stop);
    }
    target.readable = TakenForNewTable(target);
    if (!target.readable)
        return;
    if (target.plan->everyNew)
        progress.Line(target.mac + ": " + (target.password.newRecorder ? "a new recorder" : "has the plan's password")
            + " at " + target.recorder.address + ", taken for recorder[" + std::to_string(target.plan->number) + "]");
    const ChosenRecorder access = target.Access(target.ReadPassword());
    if (target.Asks(PlanStep::kZone)) {
        TimeZoneStep step;
        target.zones = step.Read(access, TimeZoneStep::kEnglish, &stop);
    }
    if (target.Asks(PlanStep::kDisks)) {
        DiskStep step(client);
        target.disks = step.List(access, &stop);
    }
    if (target.Asks(PlanStep::kCameras)) {
        CameraStep step(search, client);
        target.cameras = step.Discover(access, kMaxCameraLines, &stop);
    }
    if (target.Asks(PlanStep::kCloud) && dryRun) {
        CloudStep step(client);
        target.cloud = step.Status(access, &stop);
    }
}

void RecorderReadout::CheckFit(const SetupPlan& plan, PlanTarget& target, std::vector<PlanError>& errors)
{
    const PlanRecorder& recorder = *target.plan;
    const std::string path = "recorder[" + std::to_string(recorder.number) + "]";
    if (!target.readable)
        return; // nothing can be checked; the password step will say why
    if (target.Asks(PlanStep::kZone) && target.zones.listRead) {
        const ZoneChoice choice = ChooseZone(plan, recorder, target.zones.names);
        if (choice.error)
            errors.push_back(*choice.error);
        target.zoneNumber = choice.zoneNumber;
    }
    if (target.Asks(PlanStep::kDisks) && target.disks.outcome == StepOutcome::Done) {
        const std::array<DiskPort, 2>& ports = target.disks.ports;
        if (recorder.disks == PlanRecorder::Disks::All) {
            target.wantedDisks = { ports[0].plugged, ports[1].plugged };
            if (!ports[0].plugged && !ports[1].plugged)
                errors.push_back(
                    { plan.file, recorder.line, path + ".format", target.mac + " has no disk plugged in to format" });
        }
        for (int id : recorder.diskIds) {
            if (id < 1 || id > 2) {
                errors.push_back({ plan.file, recorder.line, path + ".format",
                    "names the storage id " + std::to_string(id) + "; the recorder has 1 (HD1) and 2 (HD2)" });
            } else if (!ports[static_cast<size_t>(id - 1)].plugged) {
                errors.push_back({ plan.file, recorder.line, path + ".format",
                    "names the storage id " + std::to_string(id) + ", but " + target.mac + " has no disk in HD"
                        + std::to_string(id) });
            } else {
                target.wantedDisks[static_cast<size_t>(id - 1)] = true;
            }
        }
    }
    if (target.Asks(PlanStep::kCameras) && target.cameras.search == CameraResult::Search::Listed) {
        const auto seen = CameraStep::ReadLines(target.cameras.lines);
        for (size_t c = 0; c < recorder.cameras.size(); ++c) {
            const PlanCamera& camera = recorder.cameras[c];
            const std::string cameraPath = path + ".camera[" + std::to_string(c + 1) + "]";
            const int index = CameraStep::FindCamera(seen, camera.mac);
            if (index < 0)
                errors.push_back({ plan.file, camera.line, cameraPath + ".mac",
                    target.mac + " does not see the camera " + camera.mac });
            else if (CameraStep::NeedsPasswordCreated(*seen[static_cast<size_t>(index)])
                && !KeepsCameraPasswordRule(camera.password))
                errors.push_back({ plan.file, camera.line, cameraPath + ".password",
                    "the camera has no password yet, and this one breaks the rule for a new camera password: 6 "
                    "to 30 characters, none of them \"/\", \":\", \"&\" or a space" });
        }
    }
}
