#include "setup/run/PlanMatcher.h"

#include "discovery/SearchDevice.h"

#include <algorithm>

PlanMatcher::PlanMatcher(const SetupPlan& plan, SearchDevice& search)
    : plan(plan)
    , search(search)
{
}

PlanTarget PlanMatcher::targetFor(const PlanRecorder& recorder, int32_t index) const
{
    PlanTarget target;
    target.plan = &recorder;
    target.macText = search.MacText(index);
    target.mac = UpperCase(target.macText);
    target.ip = search.IpText(index);
    target.model = search.ModelText(index);
    target.webPort = search.WebPort(index);
    return target;
}

std::vector<PlanTarget> PlanMatcher::Match(std::vector<PlanError>& errors) const
{
    struct Found
    {
        int32_t index;
        std::string mac;
        bool taken = false;
    };
    std::vector<Found> found;
    for (int32_t i = 0; i < search.recordCount.load(); ++i) {
        const auto record = search.Record(i);
        if (record && record->unique)
            found.push_back({ i, UpperCase(record->MacText()) });
    }
    std::vector<PlanTarget> targets;
    for (const PlanRecorder& recorder : plan.recorders) {
        if (recorder.everyNew)
            continue;
        const std::string key = "recorder[" + std::to_string(recorder.number) + "].mac";
        auto match = std::find_if(found.begin(), found.end(), [&](const Found& f) { return f.mac == recorder.mac; });
        if (match == found.end()) {
            errors.push_back({ plan.file, recorder.line, key, "no recorder " + recorder.mac + " answered the search" });
            continue;
        }
        match->taken = true;
        PlanTarget target = targetFor(recorder, match->index);
        if (target.model != kPlanRecorderModel) {
            errors.push_back({ plan.file, recorder.line, key,
                recorder.mac + " is a " + target.model + ", not a " + kPlanRecorderModel });
            continue;
        }
        targets.push_back(target);
    }
    for (const PlanRecorder& recorder : plan.recorders) {
        if (!recorder.everyNew)
            continue;
        for (const Found& f : found) {
            if (!f.taken && search.ModelText(f.index) == kPlanRecorderModel)
                targets.push_back(targetFor(recorder, f.index));
        }
    }
    return targets;
}
