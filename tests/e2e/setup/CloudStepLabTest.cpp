// The cloud step against the simulator in the lab (run by cloud_step_lab.sh in the pc namespace, with
// tests/e2e/setup/cloudstep.conf). The camera page, the cloud page and the plan runner share this step: a check
// that is stopped before it ends is a failure, a recorder that trickles its answer cannot hold the check, and a
// chain retried after one of its recorder calls failed sends only what failed.
#include "device/NvrClient.h"
#include "setup/steps/CloudStep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

const std::string kPassword = "Secret99";

std::string Env(const char* name, const char* fallback = "")
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

RecorderAccess Recorder(const std::string& ip)
{
    return RecorderAccess { ip, {}, "admin", kPassword, 0 };
}

std::string ReadState()
{
    std::ifstream in(Env("LAB_SIM_STATE"));
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The text value of `"name": "..."` in a piece of the state file.
std::string Field(const std::string& text, const std::string& name)
{
    const size_t key = text.find("\"" + name + "\":");
    if (key == std::string::npos)
        return {};
    const size_t open = text.find('"', key + name.size() + 3);
    std::string value;
    for (size_t i = open + 1; open != std::string::npos && i < text.size() && text[i] != '"'; ++i)
        value += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    return value;
}

struct Event
{
    std::string device, kind, detail, result;
};

std::vector<Event> Events()
{
    const std::string state = ReadState();
    std::vector<Event> events;
    const size_t list = state.find("\"events\":");
    for (size_t at = state.find("\"ms\":", list); list != std::string::npos && at != std::string::npos;) {
        const size_t next = state.find("\"ms\":", at + 1);
        const std::string piece = state.substr(at, next == std::string::npos ? std::string::npos : next - at);
        events.push_back({ Field(piece, "device"), Field(piece, "kind"), Field(piece, "detail"), Field(piece, "result") });
        at = next;
    }
    return events;
}

// Requests to `device` starting with `prefix` that the device answered (a challenge for credentials is no answer).
int Answered(const std::string& device, const std::string& prefix)
{
    int count = 0;
    for (const Event& e : Events())
        count += e.device == device && e.detail.rfind(prefix, 0) == 0 && e.result.rfind("401", 0) != 0 ? 1 : 0;
    return count;
}

// Sends a line to the simulator's control pipe and waits until it has taken it.
bool Control(const std::string& line)
{
    {
        std::ofstream pipe(Env("LAB_DIR") + "/sim-control");
        if (!pipe)
            return false;
        pipe << line << "\n";
    }
    for (int i = 0; i < 100; ++i) {
        for (const Event& e : Events())
            if (e.kind == "control" && e.detail == line)
                return e.result == "ok";
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

CloudStep::Outcome RunChain(CloudStep& step, CloudStep::Kind kind, const CloudStep::Inputs& in)
{
    if (!step.StartAccount(kind, in))
        return {};
    const auto end = Clock::now() + 120s;
    while (step.Busy().load() != 0 && Clock::now() < end)
        std::this_thread::sleep_for(50ms);
    return step.ChainResult();
}

} // namespace

// The camera page's box ran out (here: the stop flag) while the recorder was still answering: the page must show a
// failure, not go on as if the recorder offered no cloud service.
TEST(CloudStepLab, aCheckStoppedBeforeItEndedIsAFailure)
{
    NvrClient client;
    CloudStep step(client);
    std::atomic<bool> stop { false };
    std::thread limit([&] {
        std::this_thread::sleep_for(3s);
        stop = true;
    });
    const CloudResult result = step.Status(Recorder("10.77.0.10"), &stop);
    limit.join();
    EXPECT_EQ(result.outcome, StepOutcome::Failed);
    EXPECT_TRUE(result.timedOut);
    EXPECT_TRUE(result.netFailed) << "the camera page stays on its error";
    EXPECT_FALSE(result.portalRead);
}

// The registration read sends a byte every 500 ms for ever: never silent for the 6 s receive limit, it still ends at
// the request's answer limit, well inside the page's box, and the check fails.
TEST(CloudStepLab, aRecorderThatTricklesItsRegistrationCannotHoldTheCheck)
{
    NvrClient client;
    CloudStep step(client);
    const auto start = Clock::now();
    const CloudResult result = step.Status(Recorder("10.77.0.11"));
    const double seconds = SecondsSince(start);
    EXPECT_EQ(result.outcome, StepOutcome::Failed);
    EXPECT_TRUE(result.netFailed);
    EXPECT_FALSE(result.timedOut) << "ended by itself, not by the box";
    EXPECT_LT(seconds, 3 * CloudStep::kRegInfoTimeoutMs / 1000.0 + 10);
    EXPECT_LT(seconds, CloudStep::kStatusTicks / 10.0);
}

// One recorder call of the chain fails once (409); NEXT again with the same entries finishes the chain: the account
// is not made or signed in again, the recorder not bound again, and of the recorder's calls only the one that failed
// and those after it are sent again.
TEST(CloudStepLab, aRetryAfterAFailedRecorderCallSendsOnlyWhatFailed)
{
    struct Case
    {
        const char* name;
        const char* recorder;
        const char* ip;
        const char* number;
        const char* dfp;
        CloudStep::Kind kind;
        const char* email;
        const char* failing; // the request that fails once
        int statusCalls, infoCalls, directCalls; // answered requests over both tries
    };
    const Case cases[] = {
        { "sign-up, registration status", "nvr-r1", "10.77.0.21", "710001", "dfp-r1", CloudStep::Kind::SignUp,
            "r1@example.lab", "/config/quelmoregstatus", 2, 1, 1 },
        { "sign-up, registration info", "nvr-r2", "10.77.0.22", "710002", "dfp-r2", CloudStep::Kind::SignUp,
            "r2@example.lab", "/config/quelmoreginfo?email", 1, 2, 1 },
        { "sign-up, final registration", "nvr-r3", "10.77.0.23", "710003", "dfp-r3", CloudStep::Kind::SignUp,
            "r3@example.lab", "/config/quelmoreginfo?status", 1, 1, 2 },
        { "sign-in, registration status", "nvr-r4", "10.77.0.24", "710004", "dfp-r4", CloudStep::Kind::SignIn,
            "owner@example.lab", "/config/quelmoregstatus", 2, 1, 0 },
    };
    const std::string portal = Env("LAB_PORTAL_HOST", "cloud.quelmo.lab");
    for (const Case& c : cases) {
        const bool signUp = c.kind == CloudStep::Kind::SignUp;
        CloudStep::Inputs in;
        in.portalHost = portal;
        in.portalNumber = c.number;
        in.portalDfp = c.dfp;
        in.wizardVersion = "HXT-914Q_V 2.02.00";
        in.nvrIp = c.ip;
        in.nvrUser = "admin";
        in.nvrPassword = kPassword;
        in.email = c.email;
        in.password = signUp ? "Strong123" : "Cloud123";
        if (signUp) {
            in.passwordVerify = in.password;
            in.nameFirst = "Ann";
            in.nameLast = "Lee";
        }
        ASSERT_TRUE(Control(std::string("fault ") + c.recorder + " http-409*1@" + c.failing)) << c.name;

        NvrClient client;
        CloudStep step(client);
        const CloudStep::Outcome first = RunChain(step, c.kind, in);
        EXPECT_FALSE(first.success) << c.name;
        EXPECT_TRUE(first.networkFailure) << c.name;
        const CloudStep::Outcome retry = RunChain(step, c.kind, in);
        EXPECT_TRUE(retry.success) << c.name << ": " << retry.answer;

        const std::string account = signUp ? "POST /signin" : "POST /account/?signin";
        int accountPosts = 0;
        int binds = 0;
        for (const Event& e : Events()) {
            if (e.device != "portal")
                continue;
            accountPosts += e.detail.rfind(account, 0) == 0
                && e.detail.find(std::string("email=") + c.email) != std::string::npos;
            binds += e.detail.find(std::string("tovra_no=") + c.number) != std::string::npos;
        }
        EXPECT_EQ(accountPosts, 1) << c.name << ": signed up or in once";
        EXPECT_EQ(binds, 1) << c.name << ": bound once";
        EXPECT_EQ(Answered(c.recorder, "GET /config/quelmoregstatus"), c.statusCalls) << c.name;
        EXPECT_EQ(Answered(c.recorder, "GET /config/quelmoreginfo?email"), c.infoCalls) << c.name;
        EXPECT_EQ(Answered(c.recorder, "GET /config/quelmoreginfo?status"), c.directCalls) << c.name;
    }
}
