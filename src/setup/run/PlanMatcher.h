#pragma once
// Pairs a plan's recorder tables with the recorders that answered the search: by MAC, and for the table of every
// new recorder, each recorder of the model that the plan does not name (which of these it takes is decided once
// their passwords are known).

#include "setup/run/PlanTarget.h"

#include <vector>

class SearchDevice;

class PlanMatcher
{
public:
    PlanMatcher(const SetupPlan& plan, SearchDevice& search);

    // The recorders found for the plan; an error for each recorder the plan names that is missing or another
    // model.
    std::vector<PlanTarget> Match(std::vector<PlanError>& errors) const;

private:
    PlanTarget targetFor(const PlanRecorder& recorder, int32_t index) const;

    const SetupPlan& plan;
    SearchDevice& search;
};
