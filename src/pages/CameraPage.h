#pragma once
// Page 10: asks the recorder which network cameras it sees, lists them with a check box each, lets the user pick
// up to four (making sure their passwords are known through the password overlays), and on NEXT reads the
// recorder's cloud registration and portal record, registers the picked cameras with the recorder and removes the
// ones it had that were not picked. The first search starts by itself 500 ms after the page opened.
//
// Network work runs in one step at a time (the camera search, the cloud check, the registrations), each on a thread
// of its own; it touches no widget: a search's result reaches the page as a queued call tagged with the search it
// belongs to, and the page drops results of a search it no longer shows.

#include "pages/WizardPage.h"
#include "session/CameraPasswordJob.h"
#include "session/CameraRules.h"
#include "session/RecorderAccess.h"
#include "setup/steps/CameraStep.h"
#include "setup/steps/CloudStep.h"

#include <QBasicTimer>
#include <QPoint>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MarkupText;
class CameraList;
class IconCaptionButton;
class HelpLink;
class SlimScrollBar;
class BusyIndicator;
class TextLabel;
class SmallLink;
class CameraPasswordRunner;
class WizardContext;

class CameraPage : public WizardPage
{
    Q_OBJECT
public:
    static constexpr int kFirstScanDelayMs = 500;
    static constexpr int kDiscoveryDeadlineMs
        = CameraStep::kDiscoveryDeadlineMs; // a search unanswered by then timed out
    static constexpr int kAddTicks = 1100; // the registrations' waiting box, in 100 ms ticks
    static constexpr int kCloudTicks = CloudStep::kStatusTicks; // the cloud check's waiting box, in 100 ms ticks
    // The error box's RETRY after a failed cloud check ends the box with this result.
    static constexpr int kRetryResult = 4;

    // How a search ended.
    // A search that failed or timed out says nothing of the cameras: the session keeps the ones it had, the list
    // shows none, and the page says why with a link that searches again.
    enum class SearchOutcome {
        Listed, // the recorder answered: the list shows what it named ("No camera found!" when nothing)
        Failed, // the request failed before its deadline: the answer could not be read
        TimedOut, // no answer by the deadline, or the request could not be made
        Stopped, // the page stopped it
    };

    CameraPage(QWidget* host, WizardContext& context);
    ~CameraPage() override;

    void Leave() override;

    CameraList* list() const { return cameraList; }
    CameraPasswordRunner* passwordRunner() const { return passwords; }
    bool searchRunning() const { return searching; }
    bool noCameraShown() const;
    TextLabel* chosenNotice() const { return chosenNote; }
    // Why the last search listed nothing when it failed or timed out (empty otherwise), and its link to search again.
    QString searchProblemText() const;
    SmallLink* searchAgainLink() const { return searchAgain; }
    bool nextRunning() const { return nextGuard; }
    const std::vector<RememberedCamera>& rememberedCameras() const { return remembered; }
    // The anchor the last preview was opened with (the list's icon point moved by +2, -5), in page coordinates.
    QPoint lastPreviewAnchor() const { return previewAnchor; }

    // Ends a search as if the recorder had answered with these camera lines (also how a worker's result lands).
    void ShowCameraLines(const std::vector<std::string>& lines, SearchOutcome outcome = SearchOutcome::Listed);
    // Starts a search now (what Rescan and the first-scan timer do).
    void Rescan();

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    void OnBack() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void checkRequest(int row, intptr_t generationTag);
    void passwordAccepted(const CameraPasswordJob& job);
    void openPreview(int row);
    void searchEnded(uint32_t tag, SearchOutcome outcome, const std::vector<std::string>& lines);
    void fillList(const std::vector<std::string>& lines);
    void endSearch();
    void showSearchProblem(SearchOutcome outcome);
    void setButtonsBusy(bool busy);
    bool runCloudCheck();
    // The error box after a failed cloud check: why, with SKIP (OK) and RETRY (kRetryResult); the box's result.
    int askAfterCloudCheck();
    void runRegistrations();
    std::vector<CameraRowState> rowStates() const;
    // Stops whichever step runs (its request in flight ends at once) and joins it.
    void stopWorker();

    WizardContext& context;
    const RecorderAccess recorder; // the recorder as the page found it

    MarkupText* description = nullptr;
    IconCaptionButton* rescan = nullptr;
    CameraList* cameraList = nullptr;
    SlimScrollBar* scrollBar = nullptr;
    BusyIndicator* searchingAnimation = nullptr;
    TextLabel* noCamera = nullptr;
    TextLabel* chosenNote = nullptr; // "4 of 4 cameras chosen", while four are checked
    TextLabel* searchProblem = nullptr; // why a failed or timed-out search listed nothing
    SmallLink* searchAgain = nullptr;
    HelpLink* installLink = nullptr;
    CameraPasswordRunner* passwords = nullptr;

    QBasicTimer firstScanTimer;
    bool firstScanDone = false;
    bool searching = false;
    bool nextGuard = false;
    bool checkBusy = false;
    bool left = false;
    uint32_t scanTag = 0;
    std::vector<RememberedCamera> remembered;
    PortalValues portalValues; // status, access, portal_url, portal_number, portal_dfp, localhyperlink
    QPoint previewAnchor;
    CloudResult cloud; // the last cloud check, read once its step is joined

    std::atomic<int32_t> busy { 0 }; // 1 while a search runs; the search clears it as its last act
    std::unique_ptr<CameraStep> cameraStep; // the search and the registrations
    std::unique_ptr<CloudStep> cloudStep; // the cloud check
};
