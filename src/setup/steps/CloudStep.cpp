#include "setup/steps/CloudStep.h"

#include "device/AnswerParser.h"
#include "device/NvrClient.h"
#include "device/PortalForms.h"
#include "device/PortalHosts.h"
#include "net/HttpGet.h"
#include "net/PercentEncode.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kSignUpPolls = 155; // polls of a sign-up and its bind
constexpr int kPolls = 160; // polls of a sign-in, its bind, and of every recorder call
constexpr int kPortalPolls = 30;
constexpr int kPortalPollMs = 500;
constexpr uint32_t kDirectTimeoutMs = 6000;
constexpr size_t kDirectBufferSize = 8200;

using Failure = CloudStep::Outcome::Failure;

CloudStep::Outcome NetworkFailure(Failure failure)
{
    CloudStep::Outcome out;
    out.networkFailure = true;
    out.failure = failure;
    return out;
}

// A portal answer that is not a success: the portal's refusal to show, or a network failure when it is too short
// to be one.
CloudStep::Outcome Refusal(const std::string& answer)
{
    if (IsNetworkFailureAnswer(answer)) {
        // "-1" is what the request object answers for a request that got no answer.
        const bool silent = answer.empty() || answer == "-1";
        return NetworkFailure(silent ? Failure::PortalNoAnswer : Failure::PortalWrongAnswer);
    }
    CloudStep::Outcome out;
    out.answer = answer;
    return out;
}

} // namespace

CloudStep::CloudStep(NvrClient& requestObject)
    : StepWorker(&requestObject)
{
}

CloudStep::~CloudStep()
{
    Stop();
}

void CloudStep::ApplyPortalText(const std::string& joined, PortalValues& portal)
{
    // Format: status&access&portal_url&portal_number&portal_dfp&model&localhyperlink (the last may hold "&").
    std::string rest = joined;
    std::array<std::string, 6> pieces;
    size_t found = 0;
    for (; found < pieces.size(); ++found) {
        const size_t amp = rest.find('&');
        if (amp == std::string::npos)
            break;
        pieces[found] = rest.substr(0, amp);
        rest.erase(0, amp + 1);
    }
    for (size_t i = 0; i < 5 && i < found; ++i)
        portal.values[i] = pieces[i];
    portal.values[PortalValues::Link] = rest;
}

void CloudStep::StartStatus(const RecorderAccess& recorder)
{
    Begin([this, recorder] {
        CloudResult found;
        status(recorder, found);
        std::lock_guard<std::mutex> guard(resultLock);
        result = found;
    });
}

CloudResult CloudStep::Status(const RecorderAccess& recorder, const std::atomic<bool>* stop)
{
    StartStatus(recorder);
    WaitEnd(stop, kPollMs, kStatusTicks * kPollMs);
    return Result();
}

bool CloudStep::StartAccount(Kind kind, Inputs inputs)
{
    if (Busy().load() != 0)
        return false;
    {
        std::lock_guard<std::mutex> guard(resultLock);
        outcome = Outcome();
    }
    Begin([this, kind, in = std::move(inputs)] {
        Outcome ended = chain(kind, in);
        std::lock_guard<std::mutex> guard(resultLock);
        outcome = ended;
    });
    return true;
}

CloudResult CloudStep::Run(const RecorderAccess& recorder, const Account& account, const std::string& wizardVersion,
    const std::atomic<bool>* stop)
{
    Begin([this, recorder, account, wizardVersion] {
        CloudResult found;
        status(recorder, found);
        // Reading the status is not the step: the step is done only where a branch below says so.
        found.outcome = StepOutcome::Failed;
        const PortalValues& portal = found.portal;
        if (found.timedOut) {
            found.reason = "stopped before the recorder's cloud registration was read";
        } else if (found.netFailed || !found.regRead || !found.portalRead) {
            found.reason = "the recorder's cloud registration could not be read";
        } else if (portal.values[PortalValues::Access] != "1") {
            found.reason = "the recorder does not offer the cloud service";
        } else if (const std::string& host = portal.values[PortalValues::Url]; portal.values[PortalValues::Status] != "1"
                   && IsPortalHostName(host) && !MayUsePortalHost(host, account.allowedPortalHost)) {
            // The account and the recorder's password would go wherever the recorder points: only to a host of the
            // maker's, or one the plan names.
            found.reason = "the recorder names the portal host \"" + host
                + "\", which is not one of the maker's portal domains; name it in the plan (portal_host) to use it";
        } else if (portal.values[PortalValues::Status] == "1") {
            if (found.regEmail == account.email) {
                found.outcome = StepOutcome::AlreadyDone;
                found.account = found.regEmail;
                found.boundNumber = portal.values[PortalValues::Number];
            } else {
                found.reason = "the recorder is registered to another account";
            }
        } else {
            Inputs in;
            in.portalHost = portal.values[PortalValues::Url];
            in.portalNumber = portal.values[PortalValues::Number];
            in.portalDfp = portal.values[PortalValues::Dfp];
            in.wizardVersion = wizardVersion;
            in.nvrIp = recorder.ip;
            in.nvrWebPort = recorder.webPort;
            in.nvrUser = recorder.user.empty() ? std::string("admin") : recorder.user;
            in.nvrPassword = recorder.password;
            in.email = account.email;
            in.password = account.password;
            if (account.signUp) {
                in.passwordVerify = account.password;
                in.nameFirst = account.firstName;
                in.nameLast = account.lastName;
            }
            const Outcome ended = chain(account.signUp ? Kind::SignUp : Kind::SignIn, in);
            if (ended.success) {
                found.outcome = StepOutcome::Done;
                found.account = account.email;
                found.boundNumber = in.portalNumber;
            } else if (!ended.answer.empty()) {
                found.reason = "the portal answered: " + PortalAnswerAsPlainText(ended.answer);
            } else {
                found.reason = Running() ? "the portal or the recorder could not be reached" : "stopped";
            }
        }
        std::lock_guard<std::mutex> guard(resultLock);
        result = found;
    });
    WaitEnd(stop);
    return Result();
}

CloudResult CloudStep::Result() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return result;
}

CloudStep::Outcome CloudStep::ChainResult() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return outcome;
}

// On the step's thread: the camera page's cloud check. The registration is read over HTTPS with a connection of
// its own, the portal record through the request object.
void CloudStep::status(const RecorderAccess& recorder, CloudResult& out)
{
    {
        HttpGet http;
        if (OpenRequest(http, recorder.ip, recorder.user, recorder.password, kRegInfoTimeoutMs, 1, 443)) {
            std::vector<char> buffer(kRegInfoBytes, 0);
            size_t size = buffer.size();
            int code = 0;
            const bool sent = http.GetAuthorised("/config/quelmoreginfo", buffer.data(), &size);
            if (!http.QueryStatusCode(code))
                code = 0; // no answer to query
            out.regStatus = code;
            const bool fetched = sent && code >= 200 && code <= 299;
            if (fetched) {
                AnswerParser answer(std::string(buffer.data(), strnlen(buffer.data(), size)));
                answer.SplitPairs("\r\n");
                out.regRead = true;
                out.regEmail = answer.Value("email");
                out.regPassword = answer.Value("password");
            } else {
                out.netFailed = Running();
            }
        }
        ForgetRequest();
    }
    // After a failed registration read the page stays with its error and uses no portal value: the portal read
    // (up to 15 s against a recorder that stopped answering) is not made.
    if (Running() && !out.netFailed) {
        client->Stop();
        bool started = client->GetCloudPortal(recorder.ip, recorder.webPort, "admin", recorder.password);
        if (!started) {
            client->Stop();
            if (Pause(600, "camera page pause"))
                started = client->GetCloudPortal(recorder.ip, recorder.webPort, "admin", recorder.password);
        }
        for (int poll = 0; started && poll < kPortalPolls && Pause(kPortalPollMs, "camera page pause"); ++poll) {
            const std::string text = client->PortalInfo();
            if (text.empty())
                continue; // still busy
            if (text != "-1") {
                out.portalRead = true;
                out.portalText = text;
                ApplyPortalText(text, out.portal);
            } else {
                out.portalStatus = client->AnswerStatus();
            }
            break;
        }
        client->Stop();
    }
    if (!Running()) {
        // Stopped (the box's limit ran out): nothing it read counts, and the page must not go on as if the recorder
        // had simply nothing to report.
        out = CloudResult();
        out.timedOut = true;
        out.netFailed = true;
    }
    out.outcome = !out.netFailed && out.regRead && out.portalRead ? StepOutcome::Done : StepOutcome::Failed;
}

std::string CloudStep::pollAnswerResult(int times)
{
    for (int i = 0; i < times; ++i) {
        std::string answer = client->AnswerResult();
        if (!answer.empty())
            return answer;
        if (!Pause(kPollMs, "cloud step pause"))
            return {};
    }
    return {};
}

int32_t CloudStep::pollState(int times)
{
    int32_t state = client->State();
    for (int i = 0; i < times && state == NvrClient::Busy; ++i) {
        if (!Pause(kPollMs, "cloud step pause"))
            break;
        state = client->State();
    }
    return state;
}

CloudStep::Outcome CloudStep::chain(Kind kind, const Inputs& in)
{
    // A retry of the chain that failed goes on where it failed; anything else starts afresh.
    if (progress.kind != kind || !(progress.inputs == in))
        progress = ChainProgress { kind, in, Stage::None };
    Outcome ended = kind == Kind::SignUp ? signUp(in) : signIn(in);
    client->Stop(); // nothing of the chain outlives it
    if (ended.success)
        progress = ChainProgress();
    return Running() ? ended : Outcome(); // a stopped chain reports nothing
}

CloudStep::Outcome CloudStep::signUp(const Inputs& in)
{
    // The recorder names the portal; an address that is not a plain host name is never requested.
    if (!IsPortalHostName(in.portalHost))
        return NetworkFailure(Failure::PortalNoAnswer);
    if (progress.reached < Stage::Account) {
        if (!client->PortalSignUp(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password,
                in.passwordVerify, in.nameFirst, in.nameLast))
            return NetworkFailure(Failure::PortalNoAnswer);
        const std::string answer = pollAnswerResult(kSignUpPolls);
        if (!Running())
            return {};
        if (!PortalAnswerIsSuccess(answer))
            return Refusal(answer);
        progress.reached = Stage::Account;
    }
    Outcome out = bindAndRegister(in, kSignUpPolls);
    if (!out.success)
        return out;
    // The recorder is told once more, directly; if that fails the user is told and may try again.
    if (progress.reached < Stage::Direct) {
        if (!directRegistration(in))
            return Running() ? NetworkFailure(Failure::Recorder) : Outcome();
        progress.reached = Stage::Direct;
    }
    return out;
}

CloudStep::Outcome CloudStep::signIn(const Inputs& in)
{
    if (!IsPortalHostName(in.portalHost))
        return NetworkFailure(Failure::PortalNoAnswer);
    // Signing in again costs nothing and gives the bind a fresh session: only a chain that bound already skips it.
    if (progress.reached < Stage::Bound) {
        if (!client->PortalSignIn(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password)) {
            client->Stop();
            if (!Pause(kStepPauseMs, "cloud step pause"))
                return {};
            if (!client->PortalSignIn(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password))
                return NetworkFailure(Failure::PortalNoAnswer);
        }
        // The answer is awaited, not stopped: stopping cancels the request in flight. The command's own time-out
        // bounds the wait.
        pollState(kPolls);
        if (!Running())
            return {};
        const std::string answer = client->AnswerText();
        if (!PortalAnswerIsSuccess(answer))
            return Refusal(answer);
        progress.reached = Stage::Account;
    }
    return bindAndRegister(in, kPolls);
}

CloudStep::Outcome CloudStep::bindAndRegister(const Inputs& in, int bindPolls)
{
    if (progress.reached < Stage::Bound) {
        client->Stop();
        if (!Pause(kStepPauseMs, "cloud step pause"))
            return {};
        if (!client->PortalBind(
                in.portalHost, kClient, in.wizardVersion, kLanguage, in.portalNumber, in.nvrPassword, in.portalDfp))
            return NetworkFailure(Failure::PortalNoAnswer);
        const std::string bound = pollAnswerResult(bindPolls);
        if (!Running())
            return {};
        if (!BindAnswerIsSuccess(bound, in.portalNumber))
            return Refusal(bound);
        progress.reached = Stage::Bound;
    }

    if (progress.reached < Stage::StatusSet) {
        client->Stop();
        if (!Pause(kStepPauseMs, "cloud step pause"))
            return {};
        if (!client->SetCloudRegStatus(in.nvrIp, in.nvrWebPort, in.nvrUser, in.nvrPassword, 1))
            return NetworkFailure(Failure::Recorder);
        if (pollState(kPolls) != NvrClient::Done)
            return Running() ? NetworkFailure(Failure::Recorder) : Outcome();
        progress.reached = Stage::StatusSet;
    }

    if (progress.reached < Stage::InfoSet) {
        client->Stop();
        if (!Pause(kStepPauseMs, "cloud step pause"))
            return {};
        if (!client->SetCloudRegInfo(in.nvrIp, in.nvrWebPort, in.nvrUser, in.nvrPassword, in.email, in.password))
            return NetworkFailure(Failure::Recorder);
        if (pollState(kPolls) != NvrClient::Done)
            return Running() ? NetworkFailure(Failure::Recorder) : Outcome();
        progress.reached = Stage::InfoSet;
    }
    Outcome out;
    out.success = true;
    return out;
}

bool CloudStep::directRegistration(const Inputs& in)
{
    // Values percent-encoded as the request object's own registration request does: an e-mail address with "+"
    // or a password with "&" must arrive as typed.
    const std::string path
        = "/config/quelmoreginfo?status=1&email=" + PercentEncode(in.email) + "&password=" + PercentEncode(in.password);
    HttpGet http;
    if (!OpenRequest(http, in.nvrIp, in.nvrUser, in.nvrPassword, kDirectTimeoutMs, 1, 443)) {
        ForgetRequest();
        return false;
    }
    // A recorder without a password answers with a Digest challenge: once more on the same object then.
    const bool sent = http.GetAuthorised(path);
    int status = 0;
    bool ok = sent && http.QueryStatusCode(status) && status >= 200 && status <= 299;
    // The body is read and not examined.
    std::vector<char> buffer(kDirectBufferSize, '\0');
    size_t total = 0;
    while (ok && total + 1 < buffer.size()) {
        size_t read = 0;
        if (!http.ReadChunk(buffer.data() + total, buffer.size() - 1 - total, read))
            ok = false;
        else if (read == 0)
            break;
        total += read;
    }
    ForgetRequest();
    return ok;
}
