#pragma once
// Reads what a recorder holds before anything is sent (whether the plan's password opens it, its zone list, its
// disks, its cameras and, on a dry run, its cloud binding), and checks the plan against it.

#include "setup/run/PlanTarget.h"

#include <atomic>
#include <vector>

class PlanProgress;
class SearchDevice;

class RecorderReadout
{
public:
    RecorderReadout(SearchDevice& search, PlanProgress& progress, const std::atomic<bool>& stop, bool dryRun);

    // On a job's thread: fills what the target holds, sending no change.
    void Read(PlanTarget& target) const;
    // What the plan asks of a read target that it cannot do there (a zone it does not list, a disk port that is
    // empty, a camera it does not see or whose new password breaks the rule); records the zone and disks chosen.
    static void CheckFit(const SetupPlan& plan, PlanTarget& target, std::vector<PlanError>& errors);

    // Recorders read for the plan's new-recorder table answer the probe; only those that are new, or that have
    // the table's password already (set up by an earlier run), stay.
    static bool TakenForNewTable(const PlanTarget& target);

private:
    SearchDevice& search;
    PlanProgress& progress;
    const std::atomic<bool>& stop;
    bool dryRun;
};
