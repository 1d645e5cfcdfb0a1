#pragma once
// The recorder's administrator password: the rule a new password must pass (6 to 31 characters, each an ASCII
// letter or digit), a strength hint for one that passes, and what the login datagram can carry.

#include <QString>
#include <cstddef>

// The rule, checked on ASCII ranges: "é", "ж" and full-width digits are letters or digits to Unicode, not to
// the recorder.
bool PasswordPassesRule(const QString& password);

enum class PasswordStrength { Weak, Medium, Strong };

// How hard a password that passes the rule is to guess: one kind of character only (six digits, say) or fewer
// than 8 characters is weak; upper- and lower-case letters and digits with at least 10 characters is strong.
PasswordStrength StrengthOf(const QString& password);

// The login datagram carries each value as Base64 in a 64-byte field: at most 48 bytes of the value.
constexpr size_t kLoginValueMaxBytes = 48;

// Whether the password's UTF-8 bytes fit the login datagram.
bool FitsLoginDatagram(const QString& password);
