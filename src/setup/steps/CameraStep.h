#pragma once
// The cameras the recorder sees: asks the recorder for its camera lines, makes sure a camera's password is known
// (tried on the camera, or created on a camera that has none, as the camera page's password overlays do), and
// leaves the recorder with the chosen cameras: the ones it had are kept untouched, the others it had removed, the
// new ones added.

#include "session/CameraRecord.h"
#include "session/CameraRules.h"
#include "session/RecorderAccess.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/StepWorker.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class SearchDevice;

// What one registration sends for its camera (a copy, made when the registrations were planned).
struct CameraToSend
{
    std::string ip;
    std::string mac;
    std::string name; // avdevname: the name the recorder shows
    std::string model;
    std::string brand;
    std::string password;
    int32_t protocolType = 0;
};

// A camera a plan wants on the recorder.
struct WantedCamera
{
    std::string mac; // any case
    std::string password;
    std::string name; // empty: the camera's model
};

struct CameraResult
{
    StepOutcome outcome = StepOutcome::Failed;
    std::string reason; // why it failed, for a person; empty otherwise

    // How the search for cameras ended.
    enum class Search {
        NotTried,
        Listed, // the recorder answered: lines holds what it named
        Failed, // the request failed before its deadline
        Unreadable, // the recorder answered, but with no list: its error page (5xx), or an answer cut short;
                    // the cameras known before still stand
        TimedOut, // no answer by the deadline, or the request could not be made
        Stopped,
    } search
        = Search::NotTried;
    std::vector<std::string> lines;

    // The registrations sent, each marked whether the recorder took it.
    std::vector<RegistrationStep> steps;

    // Run: each wanted camera, in the plan's order.
    struct Camera
    {
        std::string mac;
        std::string ip;
        std::string model;
        std::string name;
        bool seen = false; // the recorder lists it
        bool passwordKnown = false; // the password works on the camera (tried, created, or listed)
        bool registered = false;
        std::string problem; // why it is not registered
    };
    std::vector<Camera> cameras;
};

class CameraStep : public StepWorker
{
public:
    static constexpr int kDiscoveryDeadlineMs = 30000; // from the request: a search not answered by then timed out
    static constexpr int kPasswordLimitMs = 15000; // a password job ends after 12 s of polls and its start
    static constexpr const char* kPause = "camera page pause";

    CameraStep(SearchDevice& discovery, NvrClient& client);
    ~CameraStep() override;

    // Asks the recorder for its camera lines; keeps at most maxLines of them.
    void StartDiscover(const RecorderAccess& recorder, size_t maxLines);
    // StartDiscover, waited for.
    CameraResult Discover(const RecorderAccess& recorder, size_t maxLines, const std::atomic<bool>* stop = nullptr);
    // Runs the steps (RunRegistration: the recorder's list read afresh around every removal, kept cameras never
    // touched, new ones into free channels); cameras[i] is what steps[i] sends.
    void StartRegister(
        const RecorderAccess& recorder, std::vector<RegistrationStep> steps, std::vector<CameraToSend> cameras);
    // The whole step for a plan: the recorder's cameras, each wanted camera's password made sure of, then the
    // recorder left with exactly the wanted cameras. AlreadyDone when it had exactly those (with those passwords,
    // where it lists them).
    CameraResult Run(const RecorderAccess& recorder, const std::vector<WantedCamera>& wanted,
        const std::atomic<bool>* stop = nullptr);
    CameraResult Result() const;

    // The records of camera lines (lines naming no address dropped).
    static std::vector<std::unique_ptr<CameraRecord>> ReadLines(const std::vector<std::string>& lines);
    // The index of the record with this MAC (any case), or -1.
    static int FindCamera(const std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::string& mac);
    // Whether a camera as the recorder lists it gets its password created (it has none yet), as the camera page
    // decides.
    static bool NeedsPasswordCreated(const CameraRecord& camera);
    // Whether the recorder already holds exactly the wanted cameras, with the wanted passwords where it lists them.
    static bool HoldsExactly(
        const std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<WantedCamera>& wanted);

private:
    void discover(const RecorderAccess& recorder, size_t maxLines, CameraResult& out);
    void registerAll(
        const RecorderAccess& recorder, std::vector<RegistrationStep>& steps, const std::vector<CameraToSend>& cameras);
    // The recorder's camera lines now, or nothing when they could not be read.
    std::optional<std::vector<std::string>> readList(const RecorderAccess& recorder);
    bool sendStep(
        const RecorderAccess& recorder, RegistrationStep::Kind kind, int32_t avdevId, const CameraToSend& camera);
    // Makes sure the wanted password works on the camera as the camera page would: a password the recorder lists
    // is taken as it is, any other is tried on the camera, and a camera without a password gets it created.
    // `problem` says why not.
    bool makeSurePassword(CameraRecord& camera, const std::string& password, int checkedCount, std::string& problem);
    void publish(const CameraResult& found);

    SearchDevice& discovery;
    mutable std::mutex resultLock;
    CameraResult result;
};
