#pragma once
// The rule a recorder's administrator password must pass, without Qt: the wizard's password page and the plan
// reader both check it here, so it is written once.

#include <cstddef>
#include <string_view>

constexpr size_t kAdminPasswordMinChars = 6;
constexpr size_t kAdminPasswordMaxChars = 31;

// 6 to 31 characters, each an ASCII letter or digit. Any byte outside ASCII fails, so a UTF-8 text with "é", "ж"
// or full-width digits fails whatever its length.
bool AdminPasswordPassesRule(std::string_view password);
