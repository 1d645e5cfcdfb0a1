#pragma once
// ASCII text helpers for protocol tokens (header names, authentication schemes and parameters), which
// compare without regard to case.

#include <string_view>

bool EqualsNoCase(std::string_view a, std::string_view b);
