#pragma once
// Sets up the recorders a plan names, from one search's answers: matches the plan with the recorders found, reads
// what each holds and checks the plan against it before anything is sent, then sets them up side by side (or
// only says what it would do) and gives the report. Progress goes to a PlanProgress as it happens; the result of
// every step stays in the targets.

#include "setup/run/PlanTarget.h"

#include <atomic>
#include <string>
#include <vector>

class PlanProgress;
class SearchDevice;

class PlanRunner
{
public:
    struct Settings
    {
        int jobs = 1; // recorders set up side by side
        bool dryRun = false; // only read
        std::string programVersion; // "V 2.02.00"
    };

    // stop: set (from a signal handler, say) to end every step at once; what was finished by then is kept.
    PlanRunner(const Settings& settings, const SetupPlan& plan, SearchDevice& search, PlanProgress& progress,
        const std::atomic<bool>& stop);

    // Matches the plan with the recorders found. False when a recorder the plan names is missing.
    bool Match();
    // Reads what each matched recorder holds, sending no change; then checks the plan against it. False when the
    // plan does not fit (or the run was stopped).
    bool Inspect();
    // What Match and Inspect found wrong (file, line, key).
    const std::vector<PlanError>& Errors() const { return errors; }
    void SetUp();
    void DryRun();

    const std::vector<PlanTarget>& Targets() const { return targets; }
    // True when there was a recorder to set up and every step of every one was done or already held.
    bool EveryStepDone() const;
    // The setup report (with the plan's passwords still in whatever a device echoed: hide them before showing).
    SetupReport Report(const std::string& date) const;

private:
    Settings settings;
    const SetupPlan& plan;
    SearchDevice& search;
    PlanProgress& progress;
    const std::atomic<bool>& stop;
    std::vector<PlanTarget> targets;
    std::vector<PlanError> errors;
};
