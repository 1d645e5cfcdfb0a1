#pragma once
// Page 8: the recorder's time zone. Reads the recorder's zone list in the wizard's language and its current zone,
// lets the user pick a zone from a drop-down list, and on NEXT sets the zone and starts manual recording.

#include "pages/WizardPage.h"
#include "session/RecorderAccess.h"
#include "setup/steps/TimeZoneStep.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ErrorLine;
class TextLabel;
class RoundedFrame;
class WizardContext;
class ZoneListBox;

class TimeZonePage : public WizardPage
{
    Q_OBJECT
public:
    static constexpr int kWaitTicks = 120;
    static constexpr uint32_t kRequestTimeoutMs = TimeZoneStep::kRequestTimeoutMs;
    // The error box's RETRY (offered when the list, the current zone or the setting failed) ends the box with this
    // result.
    static constexpr int kRetryResult = 4;

    // loadZones false builds the page without reading anything from the recorder (ShowZones fills it).
    TimeZonePage(QWidget* host, WizardContext& context, bool loadZones = true);
    ~TimeZonePage() override;

    void Leave() override;

    // The zone chosen or read from the recorder (1-based), -1 for none.
    int selectedZone() const { return zone; }
    int zoneCount() const { return static_cast<int>(zoneNames.size()); }
    // A worker (list loading or zone setting) runs.
    bool busy() const { return workerRunning.load() != 0; }
    // Shows a zone list and the current zone as the recorder gave them; a zone that names none selects nothing.
    void ShowZones(const std::vector<std::string>& names, int currentZone);
    // What a click on the zone box does: opens the list with the chosen row in view.
    void OpenZoneList();

    ZoneListBox* zoneList() const { return list; }
    RoundedFrame* zoneBox() const { return box; }
    ErrorLine* errorLine() const { return error; }

protected:
    void OnNext() override;
    void OnBack() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void loadZones();
    void runWaitingBox();
    // Starts the step's work (`start` calls one of its Start methods); its result reaches `done` on the interface
    // thread, tagged with the start it belongs to.
    void startWorker(
        const std::function<void()>& start, void (TimeZonePage::*done)(uint32_t, const TimeZoneResult&));
    void stopWorker();
    void listLoaded(uint32_t tag, const TimeZoneResult& result);
    void zoneSet(uint32_t tag, const TimeZoneResult& result);
    void actOnSetting();
    // The error box ("Check Network Failed!"); with offerRetry it has RETRY too. True when RETRY closed it.
    bool showNetworkError(bool offerRetry);
    void showErrorLine(const QString& text);
    void chooseRow(int row);
    void showZoneName();

    WizardContext& context;
    const RecorderAccess recorder; // the recorder as the page found it

    TextLabel* label = nullptr;
    RoundedFrame* box = nullptr;
    ZoneListBox* list = nullptr;
    ErrorLine* error = nullptr;

    std::vector<std::string> zoneNames;
    int zone = -1;
    bool setFailed = false;
    bool setSettled = false; // the setting worker's outcome has arrived
    bool retryLoading = false;
    bool retrySetting = false; // RETRY was chosen after a failed setting
    bool boxRunning = false;
    bool left = false;

    std::atomic<int32_t> workerRunning { 0 };
    std::atomic<int32_t> waiting { 0 };
    // The one worker: the list loading or the zone setting.
    std::unique_ptr<TimeZoneStep> step;
    uint32_t workerTag = 0;
};
