#pragma once
// The host's default-login probe: tries the administrator "admin" with an empty password on the chosen
// recorder and publishes whether it was accepted (no password set yet) or refused, for the password page.

#include "session/ChosenRecorder.h"
#include "session/ServiceThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class NvrClient;
class SearchDevice;

class DefaultLoginProbe
{
public:
    static constexpr uint16_t kRecorderPort = 62976;
    static constexpr int kRounds = 128;
    static constexpr uint32_t kRoundMs = 50;
    static constexpr uint32_t kStopLimitMs = 3000;

    // failed is called on the probe's thread when the recorder could not be reached (the host passes it on to
    // the password page when that page is shown).
    DefaultLoginProbe(SearchDevice& search, NvrClient& client, std::function<void()> failed);
    ~DefaultLoginProbe();

    // Stops a probe that runs, publishes busy / refused, and starts a new probe for this recorder.
    void Start(const ChosenRecorder& recorder);
    // Clears the run flag, ends the login in flight and waits at most 3000 ms.
    void Stop();

    std::atomic<int32_t> probeBusy { 0 };
    std::atomic<int32_t> defaultLoginAccepted { 0 };
    std::atomic<int32_t> defaultLoginRefused { 0 };

    bool threadExists() const { return thread.exists(); }

    // The probe's login: "admin" with an empty password, sent through the interface on which the recorder answered
    // the search. False (nothing sent) when the addresses are empty or malformed, the discovery table does not know
    // the recorder, or the channel did not open.
    static bool SendDefaultLogin(SearchDevice& search, NvrClient& client, const ChosenRecorder& recorder);
    // What the request object says of that login so far: 0 still open, 1 accepted (no password yet), -1 no answer
    // in time, -2 refused or failed, another value: the login result the recorder answered.
    static int32_t Outcome(const NvrClient& client);

private:
    void run(const ChosenRecorder& recorder);

    SearchDevice& search;
    NvrClient& client;
    std::function<void()> failed;
    ServiceThread thread;
};
