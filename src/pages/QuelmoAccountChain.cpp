#include "pages/QuelmoAccountChain.h"

#include "device/NvrClient.h"
#include "device/PortalForms.h"
#include "net/HttpGet.h"
#include "net/PercentEncode.h"
#include "platform/WaitTimeline.h"

#include <chrono>
#include <vector>

namespace {

constexpr int kSignUpPolls = 155; // polls of a sign-up and its bind
constexpr int kPolls = 160; // polls of a sign-in, its bind, and of every recorder call
constexpr uint32_t kDirectTimeoutMs = 6000;
constexpr size_t kDirectBufferSize = 8200;

QuelmoAccountChain::Outcome networkFailure()
{
    QuelmoAccountChain::Outcome out;
    out.networkFailure = true;
    return out;
}

// A portal answer that is not a success: the portal's refusal to show, or a network failure when it is too short
// to be one.
QuelmoAccountChain::Outcome refusal(const std::string& answer)
{
    if (IsNetworkFailureAnswer(answer)) {
        return networkFailure();
    }
    QuelmoAccountChain::Outcome out;
    out.answer = answer;
    return out;
}

} // namespace

QuelmoAccountChain::QuelmoAccountChain(NvrClient& requestObject)
    : client(requestObject)
{
}

QuelmoAccountChain::~QuelmoAccountChain()
{
    Stop();
}

bool QuelmoAccountChain::Start(Kind kind, Inputs inputs)
{
    if (busy.load(std::memory_order_acquire) != 0) {
        return false;
    }
    if (worker.joinable()) {
        worker.join(); // the last chain's thread: busy 0 was its last act
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        running = true;
        outcome = Outcome();
    }
    busy.store(1, std::memory_order_release);
    worker = std::thread([this, kind, in = std::move(inputs)] { run(kind, in); });
    return true;
}

void QuelmoAccountChain::Stop()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        running = false;
        if (direct != nullptr) {
            direct->Close(); // the thread that uses it returns from its request promptly
        }
    }
    wake.notify_all();
    if (worker.joinable()) {
        client.Stop(); // what the chain waits for ends now (the request object belongs to the whole wizard)
        worker.join();
    }
}

QuelmoAccountChain::Outcome QuelmoAccountChain::Result() const
{
    std::lock_guard<std::mutex> guard(lock);
    return outcome;
}

bool QuelmoAccountChain::runningNow() const
{
    std::lock_guard<std::mutex> guard(lock);
    return running;
}

bool QuelmoAccountChain::pause(int ms)
{
    WaitTimeline::Note("cloud step pause", static_cast<uint32_t>(ms));
    std::unique_lock<std::mutex> guard(lock);
    return !wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !running; });
}

std::string QuelmoAccountChain::pollAnswerResult(int times)
{
    for (int i = 0; i < times; ++i) {
        std::string answer = client.AnswerResult();
        if (!answer.empty()) {
            return answer;
        }
        if (!pause(kPollMs)) {
            return {};
        }
    }
    return {};
}

int32_t QuelmoAccountChain::pollState(int times)
{
    int32_t state = client.State();
    for (int i = 0; i < times && state == NvrClient::Busy; ++i) {
        if (!pause(kPollMs)) {
            break;
        }
        state = client.State();
    }
    return state;
}

void QuelmoAccountChain::run(Kind kind, const Inputs& in)
{
    Outcome result = kind == Kind::SignUp ? signUp(in) : signIn(in);
    client.Stop(); // nothing of the chain outlives it
    {
        std::lock_guard<std::mutex> guard(lock);
        outcome = running ? result : Outcome(); // a stopped chain reports nothing
        running = false;
    }
    busy.store(0, std::memory_order_release);
}

QuelmoAccountChain::Outcome QuelmoAccountChain::signUp(const Inputs& in)
{
    // The recorder names the portal; an address that is not a plain host name is never requested.
    if (!IsPortalHostName(in.portalHost)) {
        return networkFailure();
    }
    if (!client.PortalSignUp(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password,
            in.passwordVerify, in.nameFirst, in.nameLast)) {
        return networkFailure();
    }
    const std::string answer = pollAnswerResult(kSignUpPolls);
    if (!runningNow()) {
        return {};
    }
    if (!PortalAnswerIsSuccess(answer)) {
        return refusal(answer);
    }
    Outcome out = bindAndRegister(in, kSignUpPolls);
    if (!out.success) {
        return out;
    }
    // The recorder is told once more, directly; if that fails the user is told and may try again.
    if (!directRegistration(in)) {
        return runningNow() ? networkFailure() : Outcome();
    }
    return out;
}

QuelmoAccountChain::Outcome QuelmoAccountChain::signIn(const Inputs& in)
{
    if (!IsPortalHostName(in.portalHost)) {
        return networkFailure();
    }
    if (!client.PortalSignIn(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password)) {
        client.Stop();
        if (!pause(kStepPauseMs)) {
            return {};
        }
        if (!client.PortalSignIn(in.portalHost, kClient, in.wizardVersion, kLanguage, in.email, in.password)) {
            return networkFailure();
        }
    }
    // The answer is awaited, not stopped: stopping cancels the request in flight. The command's own time-out
    // bounds the wait.
    pollState(kPolls);
    if (!runningNow()) {
        return {};
    }
    const std::string answer = client.AnswerText();
    if (!PortalAnswerIsSuccess(answer)) {
        return refusal(answer);
    }
    return bindAndRegister(in, kPolls);
}

QuelmoAccountChain::Outcome QuelmoAccountChain::bindAndRegister(const Inputs& in, int bindPolls)
{
    client.Stop();
    if (!pause(kStepPauseMs)) {
        return {};
    }
    if (!client.PortalBind(
            in.portalHost, kClient, in.wizardVersion, kLanguage, in.portalNumber, in.nvrPassword, in.portalDfp)) {
        return networkFailure();
    }
    const std::string bound = pollAnswerResult(bindPolls);
    if (!runningNow()) {
        return {};
    }
    if (!BindAnswerIsSuccess(bound, in.portalNumber)) {
        return refusal(bound);
    }

    client.Stop();
    if (!pause(kStepPauseMs)) {
        return {};
    }
    if (!client.SetCloudRegStatus(in.nvrIp, in.nvrWebPort, in.nvrUser, in.nvrPassword, 1)) {
        return networkFailure();
    }
    if (pollState(kPolls) != NvrClient::Done) {
        return runningNow() ? networkFailure() : Outcome();
    }

    client.Stop();
    if (!pause(kStepPauseMs)) {
        return {};
    }
    if (!client.SetCloudRegInfo(in.nvrIp, in.nvrWebPort, in.nvrUser, in.nvrPassword, in.email, in.password)) {
        return networkFailure();
    }
    if (pollState(kPolls) != NvrClient::Done) {
        return runningNow() ? networkFailure() : Outcome();
    }
    Outcome out;
    out.success = true;
    return out;
}

bool QuelmoAccountChain::directRegistration(const Inputs& in)
{
    // Values percent-encoded as the request object's own registration request does: an e-mail address with "+"
    // or a password with "&" must arrive as typed.
    const std::string path
        = "/config/quelmoreginfo?status=1&email=" + PercentEncode(in.email) + "&password=" + PercentEncode(in.password);
    HttpGet http;
    if (!http.Open(
            in.nvrIp, in.nvrUser, in.nvrPassword, kDirectTimeoutMs, 1, 443, HttpGet::CertificateCheck::Relaxed)) {
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!running) {
            return false;
        }
        direct = &http; // from here Stop can end the request
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
        if (!http.ReadChunk(buffer.data() + total, buffer.size() - 1 - total, read)) {
            ok = false;
        } else if (read == 0) {
            break;
        }
        total += read;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        direct = nullptr;
    }
    return ok;
}
