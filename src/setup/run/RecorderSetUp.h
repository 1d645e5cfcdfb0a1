#pragma once
// Sets one recorder up as the wizard's pages do, in their order: the administrator password, the zone, the disks,
// the cameras and the cloud account, each with this recorder's own request object. A failed password step skips
// the rest; any other failure does not.

#include "setup/run/PlanTarget.h"

#include <atomic>
#include <string>

class NvrClient;
class PlanProgress;
class SearchDevice;

class RecorderSetUp
{
public:
    // programVersion: as the cloud portal and the report see this program ("V 2.02.00").
    RecorderSetUp(SearchDevice& search, PlanProgress& progress, const std::atomic<bool>& stop,
        const std::string& programVersion);

    // On a job's thread: runs the steps the plan asks and records each one and what it set in the target.
    void Run(PlanTarget& target) const;

private:
    void record(PlanTarget& target, const char* step, StepOutcome outcome, const std::string& detail,
        const std::string& progressLine) const;
    void setZone(PlanTarget& target, const RecorderAccess& access) const;
    void formatDisks(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const;
    void registerCameras(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const;
    void bindCloud(PlanTarget& target, const RecorderAccess& access, NvrClient& client) const;

    SearchDevice& search;
    PlanProgress& progress;
    const std::atomic<bool>& stop;
    std::string programVersion;
};
