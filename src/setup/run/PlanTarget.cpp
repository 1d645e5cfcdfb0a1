#include "setup/run/PlanTarget.h"

#include <algorithm>
#include <cctype>

bool PlanTarget::Asks(const char* step) const
{
    const std::string name = step;
    if (name == PlanStep::kZone)
        return !plan->zoneName.empty() || plan->zoneNumber > 0;
    if (name == PlanStep::kDisks)
        return plan->disks != PlanRecorder::Disks::Keep;
    if (name == PlanStep::kCameras)
        return !plan->cameras.empty();
    if (name == PlanStep::kCloud)
        return plan->cloud.has_value();
    return true;
}

RecorderAccess PlanTarget::Access(const std::string& adminPassword) const
{
    return RecorderAccess { ip, macText, "admin", adminPassword, webPort };
}

std::string PlanTarget::ReadPassword() const
{
    return password.newRecorder ? std::string() : plan->password;
}

void PlanTarget::SkipRest(const char* failedStep)
{
    for (const char* step : { PlanStep::kZone, PlanStep::kDisks, PlanStep::kCameras, PlanStep::kCloud }) {
        if (Asks(step))
            steps.push_back({ step, StepOutcome::Skipped, std::string("the ") + failedStep + " step failed" });
    }
}

bool PlanTarget::EveryStepDone() const
{
    return std::all_of(steps.begin(), steps.end(), [](const ReportStep& step) {
        return step.outcome == StepOutcome::Done || step.outcome == StepOutcome::AlreadyDone;
    });
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
