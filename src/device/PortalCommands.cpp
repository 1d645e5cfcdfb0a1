#include "device/PortalCommands.h"

#include "device/CommandContext.h"
#include "net/HttpGet.h"
#include "net/PercentEncode.h"

namespace {

constexpr const char* kFormEnd = "\r\n\r\n";

// "name=value&name=value...": values percent-encoded where a character would change the form's meaning.
class FormBody
{
public:
    FormBody& Add(const char* name, const std::string& value)
    {
        text += (text.empty() ? "" : "&") + std::string(name) + "=" + PercentEncode(value);
        return *this;
    }
    std::string Text(int32_t errCount) const { return text + "&err_count=" + std::to_string(errCount) + kFormEnd; }

private:
    std::string text;
};

FormBody commonFields(const CommandInputs& in)
{
    FormBody form;
    form.Add("client", in.client).Add("wizard_version", in.wizardVersion).Add("lang", in.lang);
    return form;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// How an answer moves the count of failed attempts: up on the command's error code, back to 0 on success.
using ErrCountRule = int32_t (*)(const std::string& answer, int32_t count);

int32_t signUpRule(const std::string& answer, int32_t count)
{
    return contains(answer, "SIGNUPERR") ? count + 1 : contains(answer, "success") ? 0 : count;
}

int32_t signInRule(const std::string& answer, int32_t count)
{
    if (contains(answer, "SIGNINERR001")) {
        return count;
    }
    return contains(answer, "SIGNINERR") ? count + 1 : contains(answer, "success") ? 0 : count;
}

int32_t bindRule(const std::string& answer, int32_t count)
{
    return contains(answer, "BINDERR") ? count + 1 : contains(answer, "success") ? 0 : count;
}

// Posts the form, reads the answer whole and keeps it; the portal's refusals are answers too (Done), judged
// by the page. Sign-up and sign-in take the session cookie from the answer, the bind sends it back.
CommandResult post(CommandContext& context, const char* path, const std::string& headers, const std::string& body,
    ErrCountRule rule, bool takesCookie)
{
    HttpGet& http = context.Http();
    http.SetAuthMode(HttpGet::AuthNone);
    if (!http.Post(path, headers, body) || !context.ReadBody()) {
        return CommandFailed();
    }
    std::string cookie = context.Before().cookie;
    if (takesCookie) {
        std::string header;
        AnswerParser pairs(http.QuerySetCookie(header) ? header : std::string());
        pairs.SplitPairs("; ");
        cookie = pairs.Value("quelmo");
    }
    const std::string answer = context.Answer().Text();
    const int32_t errCount = rule(answer, context.Before().errCount);
    return CommandDone([answer, cookie, errCount](CommandOutputs& out) {
        out.answerText = answer;
        out.cookie = cookie;
        out.errCount = errCount;
    });
}

CommandResult signUp(CommandContext& context)
{
    const CommandInputs& in = context.In();
    FormBody form = commonFields(in);
    form.Add("action", "sign-up").Add("accept", "accept").Add("email", in.email).Add("password", in.password);
    form.Add("password_verify", in.passwordVerify).Add("name_first", in.nameFirst).Add("name_last", in.nameLast);
    return post(context, "/signin", "Content-Type: application/x-www-form-urlencoded; charset=utf-8",
        form.Text(context.Before().errCount), &signUpRule, true);
}

CommandResult signIn(CommandContext& context)
{
    const CommandInputs& in = context.In();
    FormBody form = commonFields(in);
    form.Add("email", in.email).Add("password", in.password);
    return post(context, "/account/?signin", "Content-Type: application/x-www-form-urlencoded",
        form.Text(context.Before().errCount), &signInRule, true);
}

CommandResult bind(CommandContext& context)
{
    const CommandInputs& in = context.In();
    FormBody form = commonFields(in);
    form.Add("tovra_no", in.tovraNo).Add("device_password", in.devicePassword).Add("dfp", in.dfp);
    const std::string headers
        = "Content-Type: application/x-www-form-urlencoded\r\nCookie: quelmo=" + context.Before().cookie + ";\r\n";
    return post(context, "/account/?add", headers, form.Text(context.Before().errCount), &bindRule, false);
}

} // namespace

const std::vector<DeviceCommand>& PortalCommands()
{
    using T = Transport;
    static const std::vector<DeviceCommand> table = {
        // code, name, time-out in ms, connection, what issuing clears, what the worker does
        { CommandPortalSignUp, "PortalSignUp", 15000, T::Portal, nullptr, &signUp },
        { CommandPortalSignIn, "PortalSignIn", 15000, T::Portal, nullptr, &signIn },
        { CommandPortalBind, "PortalBind", 15000, T::Portal, nullptr, &bind },
    };
    return table;
}
