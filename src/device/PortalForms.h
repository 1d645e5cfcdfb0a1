#pragma once
// What the cloud portal's account forms and answers must be: the e-mail check the forms run before anything is
// sent, the portal host a recorder may name, how the portal's answers are judged, and an answer as the user reads it.

#include <cstddef>
#include <string>
#include <string_view>

// Whether address (UTF-8) is an e-mail address the account forms accept. The local part runs to the first "@"
// outside a quoted string; it is not empty, does not end with ".", and holds printable ASCII other than
// ( ) < > @ , ; : \ " [ ], except inside a quoted string: a '"' at the start, after a "." or after another '"'
// opens one that runs to the next '"', holds printable ASCII or a backslash-space pair, and is followed by "@"
// or ".". The domain is not empty, holds printable ASCII other than those characters, does not start with ".",
// has no ".." and has at least one ".".
bool IsValidEmailAddress(std::string_view address);

// Whether host is a host name the wizard may connect to as the portal: labels of ASCII letters, digits and "-"
// (1 to 63 each, neither starting nor ending with "-") joined by single dots, at most 253 characters; a name made
// of digits only must be a dotted IPv4 address (four numbers 0 to 255).
bool IsPortalHostName(std::string_view host);

// The portal took the sign-up or sign-in.
bool PortalAnswerIsSuccess(std::string_view answer);
// The bind answer names the device number (never empty) and the model "HXT-914Q".
bool BindAnswerIsSuccess(std::string_view answer, std::string_view portalNumber);
// An answer shorter than 5 characters ("-1" for a failed request, nothing at all) means the portal was not
// reached; anything longer is the portal's own answer.
bool IsNetworkFailureAnswer(std::string_view answer);
// The portal's codes that mark the e-mail field (SIGNUPERR001, SIGNUPERR006) and the password fields
// (SIGNUPERR002, SIGNUPERR003, SIGNUPERR004).
bool AnswerMarksEmail(std::string_view answer);
bool AnswerMarksPassword(std::string_view answer);

// Longest answer shown, in characters, the closing "…" included.
constexpr size_t kShownAnswerLimit = 512;

// A portal answer (UTF-8) as plain text to show: an answer that starts with markup is reduced to its text
// (tags, comments and the head, script and style elements dropped; character references decoded); control
// characters become spaces, runs of white space one space, the ends are trimmed; a text longer than
// kShownAnswerLimit characters is cut and ends with "…".
std::string PortalAnswerAsPlainText(std::string_view answer);

// Number of characters of a UTF-8 text: the bytes that are not continuation bytes (0x80 to 0xBF).
size_t Utf8Length(std::string_view text);
