#include "setup/run/DryRunForecast.h"

#include "session/CameraLine.h"

#include <algorithm>

void DryRunForecast::Forecast(PlanTarget& target)
{
    const AdminPasswordResult& password = target.password;
    if (!password.probed) {
        target.steps.push_back({ PlanStep::kPassword, StepOutcome::Failed, password.reason });
        target.SkipRest(PlanStep::kPassword);
        return;
    }
    if (password.newRecorder)
        target.steps.push_back({ PlanStep::kPassword, StepOutcome::Done, "set the administrator password" });
    else if (password.passwordWorks)
        target.steps.push_back({ PlanStep::kPassword, StepOutcome::AlreadyDone, {} });
    else {
        target.steps.push_back(
            { PlanStep::kPassword, StepOutcome::Failed, "the recorder already has another administrator password" });
        target.SkipRest(PlanStep::kPassword);
        return;
    }
    if (target.Asks(PlanStep::kZone))
        target.steps.push_back(zone(target));
    if (target.Asks(PlanStep::kDisks))
        target.steps.push_back(disks(target));
    if (target.Asks(PlanStep::kCameras))
        target.steps.push_back(cameras(target));
    if (target.Asks(PlanStep::kCloud))
        target.steps.push_back(cloud(target));
}

ReportStep DryRunForecast::zone(const PlanTarget& target)
{
    const TimeZoneResult& zones = target.zones;
    if (!zones.listRead || target.zoneNumber < 1)
        return { PlanStep::kZone, StepOutcome::Failed, "the recorder's zone list could not be read" };
    if (zones.zoneRead && zones.currentZone == target.zoneNumber)
        return { PlanStep::kZone, StepOutcome::AlreadyDone, {} };
    return { PlanStep::kZone, StepOutcome::Done,
        "set zone " + std::to_string(target.zoneNumber) + " ("
            + zones.names[static_cast<size_t>(target.zoneNumber - 1)] + ")" };
}

ReportStep DryRunForecast::disks(const PlanTarget& target)
{
    if (target.disks.outcome != StepOutcome::Done)
        return { PlanStep::kDisks, StepOutcome::Failed, target.disks.reason };
    std::string todo;
    for (size_t port = 0; port < 2; ++port) {
        if (target.wantedDisks[port] && !DiskStep::AlreadyFormatted(target.disks.ports[port]))
            todo += (todo.empty() ? "format HD" : ", HD") + std::to_string(port + 1);
    }
    return { PlanStep::kDisks, todo.empty() ? StepOutcome::AlreadyDone : StepOutcome::Done, todo };
}

ReportStep DryRunForecast::cameras(const PlanTarget& target)
{
    const PlanRecorder& recorder = *target.plan;
    if (target.cameras.search != CameraResult::Search::Listed)
        return { PlanStep::kCameras, StepOutcome::Failed, "the recorder's cameras could not be listed" };
    std::vector<WantedCamera> wanted;
    std::string todo;
    for (const PlanCamera& camera : recorder.cameras) {
        wanted.push_back({ camera.mac, camera.password, camera.name });
        todo += (todo.empty() ? "register " : ", ") + camera.mac;
    }
    const auto seen = CameraStep::ReadLines(target.cameras.lines);
    std::string removals;
    for (const auto& camera : seen) {
        const bool planned = std::any_of(recorder.cameras.begin(), recorder.cameras.end(),
            [&camera](const PlanCamera& p) { return p.mac == UpperCase(camera->mac); });
        if (IsOnRecorder(*camera) && !planned)
            removals += (removals.empty() ? "; remove " : ", ") + UpperCase(camera->mac);
    }
    todo += removals;
    const bool held = CameraStep::HoldsExactly(seen, wanted);
    return { PlanStep::kCameras, held ? StepOutcome::AlreadyDone : StepOutcome::Done, held ? std::string() : todo };
}

ReportStep DryRunForecast::cloud(const PlanTarget& target)
{
    const CloudResult& cloud = target.cloud;
    const PlanCloud& planned = *target.plan->cloud;
    const PortalValues& portal = cloud.portal;
    if (cloud.netFailed || !cloud.regRead || !cloud.portalRead)
        return { PlanStep::kCloud, StepOutcome::Failed, "the recorder's cloud registration could not be read" };
    if (portal.values[PortalValues::Access] != "1")
        return { PlanStep::kCloud, StepOutcome::Failed, "the recorder does not offer the cloud service" };
    if (portal.values[PortalValues::Status] == "1")
        return cloud.regEmail == planned.email
            ? ReportStep { PlanStep::kCloud, StepOutcome::AlreadyDone, {} }
            : ReportStep { PlanStep::kCloud, StepOutcome::Failed, "the recorder is registered to another account" };
    return { PlanStep::kCloud, StepOutcome::Done,
        std::string(planned.signUp ? "sign up" : "sign in") + " as " + planned.email + " and bind the recorder" };
}
