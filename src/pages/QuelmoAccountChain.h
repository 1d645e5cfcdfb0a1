#pragma once
// The cloud page's account chain, on a thread of its own: portal sign-up or sign-in, binding the recorder to the
// account, the recorder's registration calls and, after a sign-up, the direct registration request.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

class HttpGet;
class NvrClient;

class QuelmoAccountChain
{
public:
    enum class Kind { SignIn, SignUp };

    // What the chain sends: the portal values from the recorder, the recorder itself and what the user typed.
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
    };

    // How a chain ended. answer: the portal's answer worth showing (a refusal), else empty. networkFailure: the
    // chain failed without such an answer. Both unset and no success: the chain was stopped.
    struct Outcome
    {
        bool success = false;
        bool networkFailure = false;
        std::string answer;
    };

    // Every command goes through client (the wizard's request object).
    explicit QuelmoAccountChain(NvrClient& client);
    ~QuelmoAccountChain(); // Stop
    QuelmoAccountChain(const QuelmoAccountChain&) = delete;
    QuelmoAccountChain& operator=(const QuelmoAccountChain&) = delete;

    // Starts a chain unless one runs (false then). Busy is 1 from here until the chain's thread ends.
    bool Start(Kind kind, Inputs inputs);
    // Ends a running chain at its next step: clears the run flag, cancels the request in flight (the request
    // object's and the direct registration request) and joins the thread. Takes well under a second.
    void Stop();

    // 1 while a chain runs; the waiting box is bound to it. The outcome is written before it becomes 0.
    const std::atomic<int32_t>& Busy() const { return busy; }
    Outcome Result() const;

    static constexpr const char* kClient = "wizard";
    static constexpr const char* kLanguage = "en"; // the portal's answers are read for their codes
    static constexpr int kPollMs = 100;
    static constexpr int kStepPauseMs = 1000;

private:
    void run(Kind kind, const Inputs& in);
    Outcome signUp(const Inputs& in);
    Outcome signIn(const Inputs& in);
    // Bind, then the recorder's registration status and info; the bind answer when it is a refusal.
    Outcome bindAndRegister(const Inputs& in, int polls);
    bool directRegistration(const Inputs& in);

    bool pause(int ms); // false once the chain is stopped
    bool runningNow() const;
    // Polls AnswerResult until it is not empty, at most `times` polls; empty when stopped or nothing came.
    std::string pollAnswerResult(int times);
    // Polls the state until it leaves Busy, at most `times` polls; the last state seen.
    int32_t pollState(int times);

    NvrClient& client;
    std::thread worker;
    std::atomic<int32_t> busy { 0 };
    mutable std::mutex lock; // guards running, outcome and direct
    std::condition_variable wake;
    bool running = false;
    Outcome outcome;
    HttpGet* direct = nullptr; // the direct registration request in flight
};
