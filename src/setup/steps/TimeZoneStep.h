#pragma once
// The recorder's time zone: reads the zone list the recorder offers in a language and its current zone, and sets a
// zone (then starts manual recording), each over a short-lived connection of its own to the recorder's web port.

#include "session/ChosenRecorder.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/StepWorker.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

struct TimeZoneResult
{
    StepOutcome outcome = StepOutcome::Failed;
    std::string reason; // why it failed, for a person; empty otherwise

    // Reading: the list was read (its names follow), and the current zone too.
    bool listRead = false;
    bool zoneRead = false;
    std::vector<std::string> names; // zone n is names[n - 1] (UTF-8)
    int currentZone = -1; // 1-based; -1 when it names no zone of the list

    // Setting: how the recorder answered.
    enum class Setting { NotTried, Done, Refused, NetworkFailed } setting = Setting::NotTried;
    int zoneSet = -1; // the zone set (Done) or refused
};

class TimeZoneStep : public StepWorker
{
public:
    static constexpr uint32_t kRequestTimeoutMs = 6000;
    static constexpr size_t kAnswerBytes = 64000;
    static constexpr int kEnglish = 4; // the recorder's language number of English
    static constexpr const char* kRefused = "400 Bad Request";

    TimeZoneStep();
    ~TimeZoneStep() override;

    // The list in the recorder's language `language`, then the current zone. Done when both were read.
    void StartRead(const ChosenRecorder& recorder, int language);
    // Sets zone n; whatever the recorder answered to it, manual recording is started. Done when the recorder took
    // the zone.
    void StartSet(const ChosenRecorder& recorder, int zoneNumber);
    // StartRead, waited for.
    TimeZoneResult Read(const ChosenRecorder& recorder, int language, const std::atomic<bool>* stop = nullptr);
    // Reads (in English) and sets zone n unless the recorder has it already (AlreadyDone then).
    TimeZoneResult Run(const ChosenRecorder& recorder, int zoneNumber, const std::atomic<bool>* stop = nullptr);
    TimeZoneResult Result() const;

private:
    void read(const ChosenRecorder& recorder, int language, TimeZoneResult& out);
    void set(const ChosenRecorder& recorder, int zoneNumber, TimeZoneResult& out);
    void publish(const TimeZoneResult& found);

    mutable std::mutex resultLock;
    TimeZoneResult result;
};
