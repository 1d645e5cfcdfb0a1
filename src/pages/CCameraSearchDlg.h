#pragma once
// Page 10: asks the recorder which network cameras it sees, lists them with a check box each, lets the user pick
// up to four (making sure their passwords are known through the password overlays), and on NEXT reads the
// recorder's cloud registration and portal record, registers the picked cameras with the recorder and removes the
// ones it had that were not picked. The first search starts by itself 500 ms after the page opened.
//
// Network work runs on one worker thread of the page at a time (search, cloud check, registrations); it touches
// no widget: its result reaches the page as a queued call tagged with the search it belongs to, and the page drops
// results of a search it no longer shows.

#include "pages/WizardPage.h"
#include "session/CameraPasswordJob.h"
#include "session/CameraRules.h"
#include "session/RecorderAccess.h"

#include <QBasicTimer>
#include <QPoint>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CBaseStatic2;
class CCamListCtrl;
class CIconButton;
class CLinkStatic;
class CListCtrlVScrollbar;
class CLoadingStatic;
class COrselStatic;
class CameraPasswordRunner;
class HttpGet;
class WizardContext;

class CCameraSearchDlg : public WizardPage
{
    Q_OBJECT
public:
    static constexpr int kFirstScanDelayMs = 500;
    static constexpr int kDiscoveryDeadlineMs = 30000; // from the request: a search not answered by then timed out
    static constexpr int kAddTicks = 1100; // the registrations' waiting box, in 100 ms ticks
    static constexpr int kCloudTicks = 500;

    // How a search ended.
    enum class SearchOutcome {
        Listed, // the recorder answered: the list shows what it named
        Failed, // the request failed before its deadline: nothing listed, "No camera found!"
        TimedOut, // no answer by the deadline, or the request could not be made: the previous cameras are kept
        Stopped, // the page stopped it
    };

    CCameraSearchDlg(QWidget* host, WizardContext& context);
    ~CCameraSearchDlg() override;

    void Leave() override;

    CCamListCtrl* list() const { return cameraList; }
    CameraPasswordRunner* passwordRunner() const { return passwords; }
    bool searchRunning() const { return searching; }
    bool noCameraShown() const;
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
    struct CloudResult
    {
        bool netFailed = false;
        bool regRead = false;
        std::string email;
        std::string password;
        bool portalRead = false;
        std::string portalText;
    };
    // What one registration step sends: a copy of its camera, made on the interface thread.
    struct StepCamera
    {
        std::string ip;
        std::string mac;
        std::string model;
        std::string brand;
        std::string password;
        int32_t protocolType = 0;
    };

    void checkRequest(int row, intptr_t generationTag);
    void passwordAccepted(const CameraPasswordJob& job);
    void openPreview(int row);
    void searchEnded(uint32_t tag, SearchOutcome outcome, const std::vector<std::string>& lines);
    void fillList(const std::vector<std::string>& lines);
    void endSearch();
    void setButtonsBusy(bool busy);
    bool runCloudCheck();
    void applyPortal(const std::string& joined);
    void runRegistrations();
    std::vector<CameraRowState> rowStates() const;

    // The one worker of the page.
    void startWorker(std::function<void()> body);
    void stopWorker();
    bool workerRunning();
    bool pause(int ms);
    bool openRequest(HttpGet& http);
    void forgetRequest();
    void searchWorker(uint32_t tag);
    void cloudWorker();
    bool sendStep(const RegistrationStep& step, const StepCamera& camera);
    int32_t settle(int stepMs, int steps);

    WizardContext& context;
    const RecorderAccess recorder; // the recorder as the page found it

    CBaseStatic2* description = nullptr;
    CIconButton* rescan = nullptr;
    CCamListCtrl* cameraList = nullptr;
    CListCtrlVScrollbar* scrollBar = nullptr;
    CLoadingStatic* searchingAnimation = nullptr;
    COrselStatic* noCamera = nullptr;
    CLinkStatic* installLink = nullptr;
    CameraPasswordRunner* passwords = nullptr;

    QBasicTimer firstScanTimer;
    bool firstScanDone = false;
    bool searching = false;
    bool nextGuard = false;
    bool checkBusy = false;
    bool left = false;
    uint32_t scanTag = 0;
    std::vector<RememberedCamera> remembered;
    std::array<std::string, 6> portalValues; // status, access, portal_url, portal_number, portal_dfp, localhyperlink
    QPoint previewAnchor;

    // Written by the worker, read by the page once the worker is joined.
    CloudResult cloud;
    std::vector<RegistrationStep> steps;
    std::vector<StepCamera> stepCameras;

    std::atomic<int32_t> busy { 0 }; // the waiting boxes stay while it is 1; the worker clears it as its last act
    std::mutex runLock; // guards run
    std::condition_variable runChanged;
    bool run = false;
    std::mutex requestLock; // guards request
    HttpGet* request = nullptr;
    std::thread worker;
};
