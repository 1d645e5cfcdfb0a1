#include "pages/PortalRefusal.h"

#include "i18n/Localization.h"

#include <array>

namespace {

struct KnownCode
{
    const char* code;
    const char* key;
    const char* english;
};

// The portal's codes and what each means for the user. Sign-up codes 001 and 006 concern the e-mail address, 002 to
// 004 the password (the page marks those fields as well).
constexpr std::array<KnownCode, 16> kKnownCodes { {
    { "SIGNUPERR001", "portal_signup_001",
        "This e-mail address is already registered: choose \"I already have a Quelmo account.\" and sign in." },
    { "SIGNUPERR002", "portal_signup_002",
        "The password is too weak: use 6 to 32 characters with both letters and digits." },
    { "SIGNUPERR003", "portal_signup_003", "The passwords do not match: type the same password twice." },
    { "SIGNUPERR004", "portal_signup_004", "The password is too long or has spaces: use at most 32 characters." },
    { "SIGNUPERR005", "portal_signup_005", "Please enter your first and last name." },
    { "SIGNUPERR006", "portal_signup_006", "The e-mail address is not valid: check it and try again." },
    { "SIGNUPERR007", "portal_signup_007", "Please tick the box to accept the Terms and Conditions." },
    { "SIGNINERR001", "portal_signin_001",
        "There is no account for this e-mail address: check it, or sign up for a new account." },
    { "SIGNINERR002", "portal_signin_002", "The password is not correct: type it again." },
    { "SIGNINERR003", "portal_signin_003", "Please enter your e-mail address and password." },
    { "BINDERR001", "portal_bind_001", "The sign-in was not kept: press NEXT to sign in again." },
    { "BINDERR002", "portal_bind_002", "The NVR cannot be added to your account right now: try again later." },
    { "BINDERR003", "portal_bind_003",
        "The Quelmo service does not know this NVR: restart the NVR, then run the wizard again." },
    { "BINDERR004", "portal_bind_004",
        "The Quelmo service could not verify this NVR: restart the NVR, then run the wizard again." },
    { "BINDERR005", "portal_bind_005",
        "The Quelmo service did not accept the NVR's password: run the wizard again from the password page." },
    { "BINDERR006", "portal_bind_006",
        "This NVR belongs to another Quelmo account: sign in with that account instead." },
} };

} // namespace

std::optional<PortalRefusal> KnownPortalRefusal(std::string_view answer)
{
    for (const KnownCode& known : kKnownCodes) {
        if (answer.find(known.code) != std::string_view::npos)
            return PortalRefusal { known.code, Text(known.key, known.english) };
    }
    return std::nullopt;
}

std::string PortalFailureText(CloudStep::Outcome::Failure failure)
{
    switch (failure) {
    case CloudStep::Outcome::Failure::PortalWrongAnswer:
        return Text("neterr_portal_wrong_answer",
            "The Quelmo service's answer could not be read. Try again; if it happens again, try later.");
    case CloudStep::Outcome::Failure::Recorder:
        return Text("neterr_portal_recorder",
            "The NVR did not take the cloud registration. Check that it is still connected, then try again.");
    default:
        break;
    }
    return Text("neterr_portal_no_answer",
        "The Quelmo service did not answer. Check this PC's Internet connection, then try again.");
}
