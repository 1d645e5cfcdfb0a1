#pragma once
// The recorder and the cloud service: what the recorder holds of its registration and portal record, and the account
// chain (portal sign-up or sign-in, binding the recorder to the account, the recorder's registration calls and,
// after a sign-up, the direct registration request).

#include "session/RecorderAccess.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/StepWorker.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// The recorder's portal record, in the order the recorder's joined answer gives it (the model left out).
struct PortalValues
{
    enum { Status, Access, Url, Number, Dfp, Link };
    std::array<std::string, 6> values; // status, access, portal_url, portal_number, portal_dfp, localhyperlink
};

struct CloudResult
{
    StepOutcome outcome = StepOutcome::Failed;
    std::string reason; // why it failed, for a person; empty otherwise

    // The recorder's registration ("/config/quelmoreginfo") and portal record.
    bool netFailed = false; // the registration could not be read over a connection that could be prepared
    int regStatus = 0; // the HTTP status the registration read was answered with; 0: no answer came
    int portalStatus = 0; // the HTTP status a refused portal record read was answered with; 0: no answer came
    // The check was stopped before it ended (its waiting box's limit ran out): nothing it read counts, and it is a
    // failure (netFailed is set too), never "nothing to report".
    bool timedOut = false;
    bool regRead = false;
    std::string regEmail;
    std::string regPassword;
    bool portalRead = false;
    std::string portalText; // joined: status&access&portal_url&portal_number&portal_dfp&model&localhyperlink
    PortalValues portal;

    // Run: the account the recorder is bound to, and its number at the portal.
    std::string account;
    std::string boundNumber;
};

class CloudStep : public StepWorker
{
public:
    enum class Kind { SignIn, SignUp };

    // What the account chain sends: the portal values from the recorder, the recorder itself and the account.
    struct Inputs
    {
        std::string portalHost; // portal_url
        std::string portalNumber; // tovra_no
        std::string portalDfp; // dfp
        std::string wizardVersion; // "HXT-914Q_V 2.02.00"
        std::string nvrIp;
        int nvrWebPort = 0; // 0: the default HTTP port
        std::string nvrUser;
        std::string nvrPassword;
        std::string email;
        std::string password;
        std::string passwordVerify;
        std::string nameFirst;
        std::string nameLast;

        bool operator==(const Inputs&) const = default;
    };

    // How an account chain ended. answer: the portal's answer worth showing (a refusal), else empty.
    // networkFailure: the chain failed without such an answer. Both unset and no success: the chain was stopped.
    struct Outcome
    {
        // Where a network failure lay: the portal never answered (or could not be asked), its answer was too short
        // to be one, or the recorder did not take a registration call.
        enum class Failure { None, PortalNoAnswer, PortalWrongAnswer, Recorder };

        bool success = false;
        bool networkFailure = false;
        Failure failure = Failure::None; // set with networkFailure
        std::string answer;
    };

    // An account for Run.
    struct Account
    {
        std::string email;
        std::string password;
        bool signUp = false;
        std::string firstName;
        std::string lastName;
        // A portal host outside the maker's domains that the account may be sent to (the recorder names the host).
        std::string allowedPortalHost;
    };

    static constexpr const char* kClient = "wizard";
    static constexpr const char* kLanguage = "en"; // the portal's answers are read for their codes
    static constexpr int kPollMs = 100;
    static constexpr int kStepPauseMs = 1000;
    static constexpr uint32_t kRegInfoTimeoutMs = 6000;
    static constexpr size_t kRegInfoBytes = 8200;
    // The limit of the camera page's waiting box over the check, in its 100 ms ticks; Status stops the check there.
    static constexpr int kStatusTicks = 1100;

    explicit CloudStep(NvrClient& client);
    ~CloudStep() override;

    // The recorder's registration (over HTTPS) and its portal record.
    void StartStatus(const RecorderAccess& recorder);
    // StartStatus, waited for at most kStatusTicks ticks (then stopped: a failure with timedOut).
    CloudResult Status(const RecorderAccess& recorder, const std::atomic<bool>* stop = nullptr);
    // Starts a chain unless one runs (false then). A chain with the same kind and inputs as the last one, which
    // failed, goes on from the call that failed: an account made or a binding done is not asked for again (the
    // portal would refuse a second sign-up as "already registered"), and of the recorder's registration calls
    // only those that did not succeed are sent again.
    bool StartAccount(Kind kind, Inputs inputs);
    // The whole step: the recorder's status; AlreadyDone when it is registered to this account; a failure when it
    // does not offer the service or is registered to another; else the chain, Done when it bound the recorder.
    CloudResult Run(const RecorderAccess& recorder, const Account& account, const std::string& wizardVersion,
        const std::atomic<bool>* stop = nullptr);

    CloudResult Result() const;
    // The last chain's outcome (complete once Busy is 0).
    Outcome ChainResult() const;

    // The pieces of a joined portal text put into values: the first five go to status .. portal_dfp, the sixth (the
    // model) is dropped, the rest after it is localhyperlink (it may hold "&"). Values before a missing "&" keep
    // what they held.
    static void ApplyPortalText(const std::string& joined, PortalValues& values);

private:
    void status(const RecorderAccess& recorder, CloudResult& out);
    Outcome chain(Kind kind, const Inputs& in);
    Outcome signUp(const Inputs& in);
    Outcome signIn(const Inputs& in);
    // Bind, then the recorder's registration status and info; the bind answer when it is a refusal.
    Outcome bindAndRegister(const Inputs& in, int polls);
    bool directRegistration(const Inputs& in);
    // Polls AnswerResult until it is not empty, at most `times` polls; empty when stopped or nothing came.
    std::string pollAnswerResult(int times);
    // Polls the state until it leaves Busy, at most `times` polls; the last state seen.
    int32_t pollState(int times);

    // The calls of a chain in their order; a chain has done every stage up to the one it reached.
    enum class Stage { None, Account, Bound, StatusSet, InfoSet, Direct };
    struct ChainProgress
    {
        Kind kind = Kind::SignIn;
        Inputs inputs;
        Stage reached = Stage::None;
    };

    mutable std::mutex resultLock;
    CloudResult result;
    Outcome outcome;
    ChainProgress progress; // of the last chain that did not succeed; only the step's thread touches it
};
