#pragma once
// Every password of a plan, so that none can reach the output or the report, whatever a device answers.

#include "setup/plan/SetupPlan.h"
#include "setup/report/SetupReport.h"

#include <string>
#include <vector>

class SecretScrubber
{
public:
    // Every administrator, camera and cloud password the plan holds.
    static SecretScrubber ForPlan(const SetupPlan& plan);

    // Secrets shorter than four characters are not hidden: they would mask ordinary words.
    void Add(const std::string& secret);
    // The text with every secret replaced by "***".
    std::string Hide(std::string text) const;
    // Every text of a report with the secrets hidden.
    SetupReport Hide(SetupReport report) const;

private:
    std::vector<std::string> secrets; // the longest first, so that one containing another is hidden whole
};
