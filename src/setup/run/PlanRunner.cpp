#include "setup/run/PlanRunner.h"

#include "setup/run/DryRunForecast.h"
#include "setup/run/ParallelJobs.h"
#include "setup/run/PlanMatcher.h"
#include "setup/run/RecorderReadout.h"
#include "setup/run/RecorderSetUp.h"

#include <algorithm>

PlanRunner::PlanRunner(const Settings& settings, const SetupPlan& plan, SearchDevice& search, PlanProgress& progress,
    const std::atomic<bool>& stop)
    : settings(settings)
    , plan(plan)
    , search(search)
    , progress(progress)
    , stop(stop)
{
}

bool PlanRunner::Match()
{
    targets = PlanMatcher(plan, search).Match(errors);
    return errors.empty();
}

bool PlanRunner::Inspect()
{
    const RecorderReadout inspection(search, progress, stop, settings.dryRun);
    RunParallel(settings.jobs, targets.size(), [this, &inspection](size_t i) { inspection.Read(targets[i]); });
    if (stop.load())
        return false;

    std::vector<PlanTarget> kept;
    bool newMatched = false;
    for (PlanTarget& target : targets) {
        if (!target.plan->everyNew) {
            kept.push_back(std::move(target));
        } else if (RecorderReadout::TakenForNewTable(target)) {
            newMatched = true;
            kept.push_back(std::move(target));
        }
    }
    targets = std::move(kept);
    const auto newTable
        = std::find_if(plan.recorders.begin(), plan.recorders.end(), [](const PlanRecorder& r) { return r.everyNew; });
    if (newTable != plan.recorders.end() && !newMatched)
        errors.push_back({ plan.file, newTable->line, "recorder[" + std::to_string(newTable->number) + "].new",
            "no recorder without a password (or with this table's password) answered the search" });

    for (PlanTarget& target : targets)
        RecorderReadout::CheckFit(plan, target, errors);
    return errors.empty();
}

void PlanRunner::SetUp()
{
    const RecorderSetUp setUp(search, progress, stop, settings.programVersion);
    RunParallel(settings.jobs, targets.size(), [this, &setUp](size_t i) { setUp.Run(targets[i]); });
}

void PlanRunner::DryRun()
{
    for (PlanTarget& target : targets)
        DryRunForecast::Forecast(target);
}

bool PlanRunner::EveryStepDone() const
{
    return !targets.empty()
        && std::all_of(targets.begin(), targets.end(), [](const PlanTarget& t) { return t.EveryStepDone(); });
}

SetupReport PlanRunner::Report(const std::string& date) const
{
    SetupReport report;
    report.date = date;
    report.programVersion = "hxt914q-cli " + settings.programVersion;
    for (const PlanTarget& target : targets) {
        ReportRecorder recorder = target.report;
        recorder.steps = target.steps;
        report.recorders.push_back(recorder);
    }
    return report;
}
