// The cloud account forms' own rules: the e-mail check, the portal host a recorder may name, how portal answers
// are judged and how an answer reads as plain text.
#include "device/PortalForms.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EmailCase
{
    const char* address;
    bool valid;
};

// Every case of the edge list, and the rules' other ends.
const EmailCase kEmailCases[] = {
    { "a@b.c", true }, // one-letter local part, domain of two labels
    { "\"john\"@example.com", true }, // quoted word
    { "\"john\".smith@example.com", true }, // quoted word then a dot
    { "first.\"middle\".last@example.com", true }, // a quote after a dot opens a quoted string
    { "\"a\\ b\"@example.com", true }, // backslash-space inside quotes
    { "\"a@b\"@example.com", true }, // "@" inside quotes is not the separator
    { "new+one@example.lab", true },
    { "a@b.", true }, // only the start and repeats of "." are ruled out in the domain
    { "a@b", false }, // domain without a dot
    { "a.@b.c", false }, // local part ending in a dot
    { "a@.b.c", false }, // domain starting with a dot
    { "a@b..c", false }, // two dots in a row in the domain
    { "a@", false }, // empty domain
    { "@b.c", false }, // empty local part
    { "ab.c", false }, // no "@"
    { "a b@c.d", false }, // space in the local part
    { "ab@c .d", false }, // space in the domain
    { " a@b.c", false }, // leading space
    { "a@b.c ", false }, // trailing space
    { "\"a b\"@c.d", false }, // space inside quotes without its backslash
    { "\"abc@b.c", false }, // quote never closed
    { "\"a\"b@c.d", false }, // closing quote followed by a letter
    { "a\"b\"@c.d", false }, // a quote inside a word is a special character
    { "a(b@c.d", false },
    { "a,b@c.d", false },
    { "a;b@c.d", false },
    { "a:b@c.d", false },
    { "a\\b@c.d", false },
    { "a[b]@c.d", false },
    { "a<b>@c.d", false },
    { "a@b@c.d", false }, // "@" in the domain
    { "a@b[c].d", false },
    { "\xc3\xa4@b.c", false }, // non-ASCII in the local part
    { "a@b\xc3\xa4.c", false }, // non-ASCII in the domain
    { "\"\xc3\xa4\"@b.c", false }, // non-ASCII inside quotes
    { "a\t@b.c", false }, // control character
    { "a@b.c\x7f", false },
};

TEST(PortalForms, emailCheckFollowsEveryRule)
{
    for (const EmailCase& c : kEmailCases) {
        EXPECT_EQ(IsValidEmailAddress(c.address), c.valid) << c.address;
    }
}

TEST(PortalForms, portalHostIsANameOrAnAddress)
{
    const std::pair<const char*, bool> cases[] = {
        { "cloud.quelmo.lab", true },
        { "quelmo-portal.example.com", true },
        { "localhost", true },
        { "10.77.0.250", true },
        { "255.255.255.255", true },
        { "", false },
        { "https://cloud.quelmo.lab/", false },
        { "cloud.quelmo.lab:443", false },
        { "cloud.quelmo.lab/account", false },
        { "cloud.quelmo.lab?x=1", false },
        { "user@cloud.quelmo.lab", false },
        { "cloud quelmo.lab", false },
        { "cloud_quelmo.lab", false },
        { "cloud..lab", false },
        { ".cloud.lab", false },
        { "cloud.lab.", false },
        { "-cloud.lab", false },
        { "cloud-.lab", false },
        { "cloud.lab\r\nHost: x", false },
        { "10.77.0.256", false },
        { "10.77.0", false },
        { "10.77.0.01", false },
        { "1.2.3.4.5", false },
        { "xn--bcher-kva.example", true },
    };
    for (const auto& [host, valid] : cases) {
        EXPECT_EQ(IsPortalHostName(host), valid) << host;
    }
    EXPECT_TRUE(IsPortalHostName(std::string(63, 'a') + ".lab"));
    EXPECT_FALSE(IsPortalHostName(std::string(64, 'a') + ".lab"));
}

TEST(PortalForms, answersAreJudgedByTheirTexts)
{
    EXPECT_TRUE(PortalAnswerIsSuccess("<p>success: signed in</p>"));
    EXPECT_FALSE(PortalAnswerIsSuccess("SIGNINERR002: The password is not correct."));

    const std::string bound = "success: the device 4815 (HXT-914Q) was added to a@b.c.";
    EXPECT_TRUE(BindAnswerIsSuccess(bound, "4815"));
    EXPECT_FALSE(BindAnswerIsSuccess(bound, "9999"));
    EXPECT_FALSE(BindAnswerIsSuccess("success: the device 4815 (HXT-908Q) was added", "4815"));
    // An empty number is in every text: it never makes a bind answer a success.
    EXPECT_FALSE(BindAnswerIsSuccess(bound, ""));

    for (const char* failure : { "", "-1", "ok", "\xe7\xb6\xb2\xe8\xb7\xaf" }) {
        EXPECT_TRUE(IsNetworkFailureAnswer(failure)) << failure;
    }
    EXPECT_FALSE(IsNetworkFailureAnswer("BINDERR003: Unknown device number."));

    EXPECT_TRUE(AnswerMarksEmail("SIGNUPERR001: already registered"));
    EXPECT_TRUE(AnswerMarksEmail("SIGNUPERR006: not valid"));
    EXPECT_FALSE(AnswerMarksEmail("SIGNUPERR005: a name missing"));
    for (const char* code : { "SIGNUPERR002", "SIGNUPERR003", "SIGNUPERR004" }) {
        EXPECT_TRUE(AnswerMarksPassword(code)) << code;
    }
    EXPECT_FALSE(AnswerMarksPassword("SIGNUPERR001 SIGNINERR002"));
}

TEST(PortalForms, answersReadAsPlainText)
{
    const std::pair<const char*, const char*> cases[] = {
        { "<html><body><p>SIGNINERR002: The password is not correct.</p></body></html>\r\n",
            "SIGNINERR002: The password is not correct." },
        { "<!DOCTYPE html>\n<html><head><title>Quelmo</title><style>p{color:red}</style></head>"
          "<body><!-- note --><h1>Error</h1><p>A &amp; B &lt;c&gt; &#39;d&#x27; &quot;e&quot;</p>"
          "<script>alert(\"<p>x</p>\")</script><p>done<br/>now</p></body></html>",
            "Error A & B <c> 'd' \"e\" done now" },
        { "<p>su<b>cc</b>ess</p>", "success" },
        { "<p>a < b &unknown; &#0; &#xD800;</p>", "a < b &unknown; \xef\xbf\xbd \xef\xbf\xbd" },
        { "<p title=\"a>b\">text</p>", "text" },
        { "<head><title>x", "" }, // an element that never ends hides the rest
        { "SIGNUPERR004: <b>no</b> spaces", "SIGNUPERR004: <b>no</b> spaces" }, // not markup: shown as it is
        { "  two\r\n\tlines  ", "two lines" },
    };
    for (const auto& [answer, shown] : cases) {
        EXPECT_EQ(PortalAnswerAsPlainText(answer), shown) << answer;
    }
}

TEST(PortalForms, longAnswersAreCutToTheLimit)
{
    const std::string exact(kShownAnswerLimit, 'x');
    EXPECT_EQ(PortalAnswerAsPlainText(exact), exact);

    const std::string shown = PortalAnswerAsPlainText("<p>" + exact + "y</p>");
    EXPECT_EQ(Utf8Length(shown), kShownAnswerLimit);
    EXPECT_EQ(shown, std::string(kShownAnswerLimit - 1, 'x') + "\xE2\x80\xA6");

    // Characters, not bytes: a cut never splits one.
    std::string wide;
    for (size_t i = 0; i < kShownAnswerLimit + 10; ++i) {
        wide += "\xe7\xb6\xb2";
    }
    const std::string cut = PortalAnswerAsPlainText(wide);
    EXPECT_EQ(Utf8Length(cut), kShownAnswerLimit);
    EXPECT_EQ(cut.size(), (kShownAnswerLimit - 1) * 3 + 3);
}

} // namespace
