#pragma once
// Everything the simulated devices change while they run (passwords, zone, disks, cameras, accounts,
// bindings) and the requests they saw; guarded by one mutex and written to the state file (JSON) after
// every change, so tests read an up-to-date picture.

#include "Scenario.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct DiskState
{
    DiskSetup setup;
    int formatCount = 0;
    int lastFs = -1;
    int lastPartition = -1;
    bool formatting = false;
    std::chrono::steady_clock::time_point formatStart;
    std::chrono::steady_clock::time_point pluggedAt; // when the disk was put on the port
    int fsCode = 0; // file-system code of its partitions (0 none, 1 the recorder's own, 2 FAT32, 3 NTFS)
    int progress = 0; // formatting progress 1..100 (0 before the first formatting, -1 after a failed one)
    int failAt = -1; // the running formatting fails at this percentage (fault format-fail)
    int stallAt = -1; // the running formatting stops at this percentage (fault format-stall)
};

struct RegisteredCamera
{
    int slot = 0;
    std::string name; // avdevname
    std::string host; // hostname, as given (may carry ":port")
    std::string hostId; // hostid (the camera's MAC text)
    int protocol = 0;
    int protocolType = 0;
    std::string account; // decoded from Base64
    std::string password; // decoded from Base64
    std::string brand;
    std::string product;
};

struct RecorderState
{
    RecorderSetup setup;
    std::string password;
    int zone = 0;
    bool recording = false;
    std::vector<DiskState> disks;
    std::vector<RegisteredCamera> cameras;
    int cloudStatus = 0;
    std::string cloudEmail;
    std::string cloudPassword;
    int passwordChanges = 0;
    int formatPort = -1; // the port of the latest formatting (what storageformatpoll reports)
    std::vector<std::string> extraCameraLines; // raw lines the camera list carries after its own (control channel)
};

struct CameraState
{
    CameraSetup setup;
    std::string password;
    int passwordChanges = 0;
    int streamsOpened = 0;
    int streamsOpen = 0;
    long long framesSent = 0;
    std::string listedAddress; // the address the recorders list for it; empty: ip[:port] (control channel)
};

struct PortalAccount
{
    AccountSetup setup;
    std::vector<std::string> bindings; // device numbers bound to this account
    std::string session; // current "quelmo" cookie value
    int failedSignIns = 0;
};

// A datagram fault switched on through the control pipe for one device (or "*", every device): it applies to the
// next `remaining` datagrams of its scope, or until it is cleared (-1).
struct LiveFault
{
    std::string device;
    Fault fault;
    int remaining = -1;
};

struct SimEvent
{
    long long ms = 0; // since the simulator started
    std::string device; // recorder/camera name or "portal"
    std::string kind; // "udp-search", "udp-login", "http", ...
    std::string peer; // "ip:port" of the client
    std::string detail; // path, user, form fields...
    std::string result; // what was answered
};

class SimState
{
public:
    explicit SimState(const Scenario& scenario);

    void setStateFile(const std::string& path) { stateFile = path; }

    // Runs a change under the lock, then rewrites the state file.
    void update(const std::function<void(SimState&)>& change);
    // Runs a read under the lock.
    void read(const std::function<void(const SimState&)>& reader) const;
    // Appends one seen request (and rewrites the state file).
    void record(SimEvent event);
    // Writes the state file now (on request and at the end).
    void save();

    RecorderState* recorder(const std::string& name);
    CameraState* camera(const std::string& name);
    PortalAccount* account(const std::string& email);
    const RecorderState* recorder(const std::string& name) const;
    const CameraState* camera(const std::string& name) const;

    std::vector<RecorderState> recorders;
    std::vector<CameraState> cameras;
    std::vector<PortalAccount> accounts;
    PortalSetup portal;
    std::string portalHost;
    std::vector<LiveFault> liveFaults;
    int portalSignUps = 0;
    int portalSignIns = 0;
    int portalBinds = 0;

    long long elapsedMs() const;
    // Brings running disk formats up to date (progress, and the end of formatting), and disks that become
    // ready a while after they were plugged.
    void advanceFormats(RecorderState& recorder) const;

    // HTTP faults switched on while the simulator runs (the control channel), per device name.
    void addLiveFaults(const std::string& device, const FaultSet& faults);
    void clearLiveFaults(const std::string& device);
    // The live faults of device that apply to a request of subject; with `use` the request uses up counted ones
    // (a request answered with an authentication challenge does not: the client asks again).
    FaultSet liveFaultsFor(const std::string& device, const std::string& subject, bool use);

private:
    std::string json() const;
    void writeLocked();

    mutable std::mutex mutex;
    std::map<std::string, FaultSet> liveHttpFaults; // guarded by mutex
    std::string stateFile;
    std::deque<SimEvent> events;
    long long eventCount = 0;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};
