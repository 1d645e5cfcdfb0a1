#include "setup/steps/AdminPasswordStep.h"

#include "device/AdminPasswordRule.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "session/DefaultLoginProbe.h"

#include <array>

namespace {

constexpr int32_t kNotSent = -3;

std::string UserOf(const ChosenRecorder& recorder)
{
    return recorder.user.empty() ? std::string("admin") : recorder.user;
}

} // namespace

AdminPasswordStep::AdminPasswordStep(SearchDevice& discoveryTable, NvrClient& requestObject)
    : StepWorker(&requestObject)
    , discovery(discoveryTable)
{
}

AdminPasswordStep::~AdminPasswordStep()
{
    Stop(); // before the parts the thread uses go
}

void AdminPasswordStep::Start(
    Mode mode, const ChosenRecorder& recorder, const std::string& password, std::function<void()> beforeSend)
{
    Begin([this, mode, recorder, password, before = std::move(beforeSend)] { work(mode, recorder, password, before); });
}

AdminPasswordResult AdminPasswordStep::Run(
    Mode mode, const ChosenRecorder& recorder, const std::string& password, const std::atomic<bool>* stop)
{
    Start(mode, recorder, password);
    WaitEnd(stop);
    return Result();
}

AdminPasswordResult AdminPasswordStep::Result() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return result;
}

AdminPasswordResult AdminPasswordStep::Judge(Mode mode, bool sent, int32_t state, int32_t loginResult)
{
    AdminPasswordResult judged;
    judged.sent = sent;
    judged.state = state;
    judged.loginResult = loginResult;
    if (!sent) {
        judged.reason = "the recorder could not be reached (not found by the search, or no channel to it)";
        return judged;
    }
    if (mode == Mode::Create) {
        if (state == NvrClient::Done)
            judged.outcome = StepOutcome::Done;
        else
            judged.reason = state == NvrClient::Failed ? "the recorder refused the new password"
                                                       : "the recorder did not confirm the new password";
        return judged;
    }
    // A login answer says Done for a wrong password too: its result tells.
    if (state == NvrClient::Done && loginResult == 1)
        judged.outcome = StepOutcome::Done;
    else if (state == NvrClient::Done || state == NvrClient::Failed)
        judged.reason = "the recorder refused the password";
    else
        judged.reason = "the recorder did not answer the login";
    return judged;
}

void AdminPasswordStep::work(
    Mode mode, const ChosenRecorder& recorder, const std::string& password, const std::function<void()>& beforeSend)
{
    AdminPasswordResult found;
    if (mode == Mode::Create || mode == Mode::Login) {
        found = sendPassword(mode == Mode::Login, recorder, password, beforeSend);
    } else {
        const int32_t r = probe(recorder);
        if (r == kNotSent) {
            found = Judge(mode, false, 0, 0);
        } else if (r == -1 || r == 0) {
            found.reason = "the recorder did not answer the login";
        } else {
            found.probed = true;
            found.newRecorder = r == 1;
            if (mode == Mode::Probe) {
                found.outcome = StepOutcome::Done;
            } else if (mode == Mode::Inspect) {
                if (!found.newRecorder) {
                    const AdminPasswordResult login = sendPassword(true, recorder, password, beforeSend);
                    found.sent = login.sent;
                    found.passwordWorks = login.outcome == StepOutcome::Done;
                }
                found.outcome = StepOutcome::Done;
            } else {
                AdminPasswordResult sent = sendPassword(!found.newRecorder, recorder, password, beforeSend);
                sent.probed = true;
                sent.newRecorder = found.newRecorder;
                sent.passwordWorks = !found.newRecorder && sent.outcome == StepOutcome::Done;
                if (sent.passwordWorks) {
                    sent.outcome = StepOutcome::AlreadyDone; // it has the password already
                } else if (!found.newRecorder && sent.sent && sent.state == NvrClient::Done) {
                    sent.reason = "the recorder already has another administrator password";
                }
                found = sent;
            }
        }
    }
    if (!Running() && found.outcome != StepOutcome::Failed) {
        found.outcome = StepOutcome::Failed;
        found.reason = "stopped";
    }
    std::lock_guard<std::mutex> guard(resultLock);
    result = found;
}

int32_t AdminPasswordStep::probe(const ChosenRecorder& recorder)
{
    if (!DefaultLoginProbe::SendDefaultLogin(discovery, *client, recorder))
        return kNotSent;
    int32_t r = 0;
    for (int round = 0; round < kProbeRounds && r == 0; ++round) {
        if (!Pause(kProbeRoundMs, "login probe round"))
            break;
        r = DefaultLoginProbe::Outcome(*client);
    }
    return r;
}

AdminPasswordResult AdminPasswordStep::sendPassword(
    bool login, const ChosenRecorder& recorder, const std::string& password, const std::function<void()>& before)
{
    if (!login && !AdminPasswordPassesRule(password)) {
        AdminPasswordResult refused = Judge(Mode::Create, false, 0, 0);
        refused.reason = "the password breaks the rule: 6 to 31 characters, each an ASCII letter or digit";
        return refused; // no recorder could take it: nothing is sent
    }
    bool sent = false;
    int32_t state = 0;
    int32_t loginResult = 0;
    if (Pause(kRequestDelayMs, "password request delay")) {
        if (before)
            before();
        const std::string user = UserOf(recorder);
        std::array<uint8_t, 4> ipBytes {};
        std::array<uint8_t, 6> macBytes {};
        const int32_t interfaceIndex
            = recorder.address.empty() || recorder.mac.empty() ? -1 : discovery.InterfaceForIp(recorder.address);
        const std::string local = interfaceIndex >= 0 ? discovery.LocalAddress(interfaceIndex) : std::string();
        if (!local.empty() && SearchDevice::ParseIpText(recorder.address, ipBytes)
            && SearchDevice::ParseMacText(recorder.mac, macBytes) && client->OpenUdp(local)) {
            sent = login ? client->SendLogin(ipBytes, macBytes, kRecorderPort, user, password)
                         : client->SendSetPassword(ipBytes, macBytes, kRecorderPort, user, "", password);
        }
        if (sent) {
            for (int look = 0; look < kLookLimit && Running(); ++look) {
                state = client->State();
                if (state != NvrClient::Busy || !Pause(kLookMs, "password reply look"))
                    break;
            }
            loginResult = client->LoginResult();
        }
    }
    return Judge(login ? Mode::Login : Mode::Create, sent, state, loginResult);
}
