#include "device/AdminPasswordRule.h"

bool AdminPasswordPassesRule(std::string_view password)
{
    if (password.size() < kAdminPasswordMinChars || password.size() > kAdminPasswordMaxChars)
        return false;
    for (char c : password) {
        const bool digit = c >= '0' && c <= '9';
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (!digit && !upper && !lower)
            return false;
    }
    return true;
}
