#pragma once
// The recorder's administrator password: set on a new recorder with the set-password datagram, or tried with the
// login datagram on one that has a password, through the interface on which the recorder answered the search.
// A recorder still without a password is told by the default login ("admin" with an empty password).

#include "session/ChosenRecorder.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/StepWorker.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class SearchDevice;

struct AdminPasswordResult
{
    StepOutcome outcome = StepOutcome::Failed;
    std::string reason; // why it failed, for a person; empty otherwise
    // The set-password or login datagram of the password left (the page shows no text when it did not).
    bool sent = false;
    int32_t state = 0; // the request object's state at the last look
    int32_t loginResult = 0;
    // What the default login found (Probe, Inspect, Apply): whether it was answered, and whether the recorder had
    // no password yet.
    bool probed = false;
    bool newRecorder = false;
    // Inspect: the password opens the recorder (it has one and the login took it).
    bool passwordWorks = false;
};

class AdminPasswordStep : public StepWorker
{
public:
    enum class Mode {
        Create, // set the password on a new recorder (its current password empty)
        Login, // try the password on a recorder that has one
        Probe, // the default login only: whether the recorder still has no password
        Inspect, // the default login, then, on a recorder that has a password, the login with this one: no change
        Apply, // the default login, then Create on a new recorder or Login (already set up when it takes it)
    };

    static constexpr uint16_t kRecorderPort = 62976;
    static constexpr int kRequestDelayMs = 500;
    static constexpr int kLookMs = 25;
    static constexpr int kLookLimit = 240;
    static constexpr int kProbeRoundMs = 50;
    static constexpr int kProbeRounds = 128;

    AdminPasswordStep(SearchDevice& discovery, NvrClient& client);
    ~AdminPasswordStep() override;

    // The recorder's ip, mac and user are used (user "admin" when empty). beforeSend runs on the step's thread
    // right before the channel is opened for the password's datagram.
    void Start(
        Mode mode, const ChosenRecorder& recorder, const std::string& password, std::function<void()> beforeSend = {});
    AdminPasswordResult Run(Mode mode, const ChosenRecorder& recorder, const std::string& password,
        const std::atomic<bool>* stop = nullptr);
    AdminPasswordResult Result() const;

    // How a Create or Login ended, from what the request object said.
    static AdminPasswordResult Judge(Mode mode, bool sent, int32_t state, int32_t loginResult);

private:
    void work(Mode mode, const ChosenRecorder& recorder, const std::string& password,
        const std::function<void()>& beforeSend);
    AdminPasswordResult sendPassword(
        bool login, const ChosenRecorder& recorder, const std::string& password, const std::function<void()>& before);
    // The default login's outcome (DefaultLoginProbe::Outcome), or -3 when it could not be sent.
    int32_t probe(const ChosenRecorder& recorder);

    SearchDevice& discovery;
    mutable std::mutex resultLock;
    AdminPasswordResult result;
};
