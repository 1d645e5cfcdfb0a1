#pragma once
// The portal's refusals the wizard knows: the code in the portal's answer and what the user reads instead, in the
// chosen language, with what to do next. An answer without a known code is shown as the portal wrote it.

#include "setup/steps/CloudStep.h"

#include <optional>
#include <string>
#include <string_view>

struct PortalRefusal
{
    std::string code; // as the portal wrote it, e.g. "SIGNUPERR001"
    std::string text; // translated
};

// The first known code the answer contains, with its text; none when it holds no known code.
std::optional<PortalRefusal> KnownPortalRefusal(std::string_view answer);

// What the error box says of an account chain that failed without a refusal.
std::string PortalFailureText(CloudStep::Outcome::Failure failure);
