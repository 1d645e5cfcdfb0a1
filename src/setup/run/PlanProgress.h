#pragma once
// Where a plan's run says what it is doing, one whole line at a time, from several recorders' threads at once.
// The lines hold device texts as the devices sent them: the receiver filters them for its terminal.

#include <string>

class PlanProgress
{
public:
    virtual ~PlanProgress() = default;
    virtual void Line(const std::string& text) = 0;
};
