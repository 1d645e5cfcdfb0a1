#pragma once
// What the camera page's two password workers share: a thread of their own that tries one password job on its
// camera with a request object of its own (the datagram service for protocol type 0, the camera's CGI otherwise),
// reports the outcome with the job it was given, and keeps its run flag up for one more second.

#include "session/CameraPasswordJob.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class NvrClient;
class SearchDevice;

// Where a job's request goes, as the job's address and the discovery table say.
struct CameraTarget
{
    std::string host; // the address up to its first ":"
    // HTTP: the web port of the camera's discovery record, else the port written in its address, else 0 (the
    // HTTP client's default).
    int port = 0;
    // Whether the request can be made: HTTP needs a host; a datagram also needs a well-formed address and MAC and
    // the camera in the discovery table (its answer names the interface it is reached through).
    bool sendable = false;
    std::string localAddress; // datagram: the local address of that interface
    std::array<uint8_t, 4> ip {};
    std::array<uint8_t, 6> mac {};
};

class CameraPasswordWorker
{
public:
    // Called once per job on the worker's thread, with the job as it was given and whether the camera took the
    // password. A job that was stopped, could not be sent or got no answer is refused.
    using Report = std::function<void(const CameraPasswordJob& job, bool accepted)>;

    static constexpr uint16_t kCommandPort = 62976;
    static constexpr int kPolls = 120;
    static constexpr int kPollMs = 100;
    static constexpr int kTailMs = 1000;

    virtual ~CameraPasswordWorker();
    CameraPasswordWorker(const CameraPasswordWorker&) = delete;
    CameraPasswordWorker& operator=(const CameraPasswordWorker&) = delete;

    // Sets the run flag and starts the thread (once).
    void Start();
    // Clears the run flag, cancels the request in flight and joins the thread; a job not decided yet is refused.
    void Stop();
    // The thread has not ended yet (its one-second tail included).
    bool Running() const { return started.load() && !finished.load(); }
    // The job's outcome is reported (or about to be): what remains of the thread is its tail.
    bool Decided() const { return decided.load(); }
    const CameraPasswordJob& Job() const { return job; }

    static CameraTarget Resolve(const CameraPasswordJob& job, const SearchDevice& discovery);
    // The port written after the first ":" of an address: 1..65535 in decimal digits only, else 0.
    static int PortInAddress(const std::string& address);

protected:
    CameraPasswordWorker(SearchDevice& discovery, CameraPasswordJob job, Report report);

    // Issue the job's request; false when it could not be sent.
    virtual bool SendDatagram(NvrClient& client, const CameraTarget& target) = 0;
    virtual bool SendHttp(NvrClient& client, const CameraTarget& target) = 0;
    // Whether a request that ended Done means the camera took the password.
    virtual bool TakenWhenDone(const NvrClient& client) const = 0;
    // After an HTTP request that did not end as taken: issues one request that would show the job took effect
    // after all (false: none to make). A request that ends Done then counts as taken.
    virtual bool SendHttpConfirmation(NvrClient& client, const CameraTarget& target);

    const CameraPasswordJob job;

private:
    void run();
    // Polls the request object while it is Busy (kPolls times at most); its state at the end.
    int32_t awaitAnswer();
    bool running() const { return runFlag.load() != 0; }
    // Sleeps ms, or less when the run flag is cleared. False when it is clear afterwards.
    bool sleep(int ms);

    SearchDevice& discovery;
    Report report;
    std::unique_ptr<NvrClient> client;
    std::atomic<int32_t> runFlag { 0 };
    std::atomic<bool> started { false };
    std::atomic<bool> finished { false };
    std::atomic<bool> decided { false };
    std::mutex lock;
    std::condition_variable wake;
    std::thread thread;
};
