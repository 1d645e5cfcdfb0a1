#include "pages/PasswordRule.h"

#include "device/AdminPasswordRule.h"

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsAsciiUpper(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool IsAsciiLower(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}

} // namespace

bool PasswordPassesRule(const QString& password)
{
    // Every character outside ASCII becomes bytes of 0x80 and above, which the rule refuses; an ASCII text has
    // as many bytes as characters.
    return AdminPasswordPassesRule(password.toUtf8().toStdString());
}

PasswordStrength StrengthOf(const QString& password)
{
    bool digit = false;
    bool upper = false;
    bool lower = false;
    for (QChar c : password) {
        digit = digit || IsAsciiDigit(c);
        upper = upper || IsAsciiUpper(c);
        lower = lower || IsAsciiLower(c);
    }
    const int kinds = int(digit) + int(upper) + int(lower);
    if (kinds <= 1 || password.size() < 8)
        return PasswordStrength::Weak;
    if (kinds == 3 && password.size() >= 10)
        return PasswordStrength::Strong;
    return PasswordStrength::Medium;
}

bool FitsLoginDatagram(const QString& password)
{
    return static_cast<size_t>(password.toUtf8().size()) <= kLoginValueMaxBytes;
}
