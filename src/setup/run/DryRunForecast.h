#pragma once
// What setting a recorder up would do, worked out from what was read of it: each step the plan asks as to do
// (with what), already set up, or bound to fail (with why). Sends nothing.

#include "setup/run/PlanTarget.h"

class DryRunForecast
{
public:
    // Records the steps in the target as RecorderSetUp would run them.
    static void Forecast(PlanTarget& target);

private:
    static ReportStep zone(const PlanTarget& target);
    static ReportStep disks(const PlanTarget& target);
    static ReportStep cameras(const PlanTarget& target);
    static ReportStep cloud(const PlanTarget& target);
};
