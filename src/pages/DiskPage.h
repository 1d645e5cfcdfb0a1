#pragma once
// Page 9: the recorder's USB disks. Shows which of the two ports hold a disk (from the host's storage watch) and
// on NEXT, once the user has confirmed that everything on them is erased, formats every disk present through the
// recorder, showing the progress; SKIP goes on without formatting.

#include "pages/WizardPage.h"
#include "session/RecorderAccess.h"
#include "setup/steps/DiskStep.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class MarkupText;
class PictureSwitch;
class BusyIndicator;
class WizardContext;

class DiskPage : public WizardPage
{
    Q_OBJECT
public:
    static constexpr int kCheckTicks = 300;
    static constexpr int kFormatTicks = 600;
    static constexpr int kRepollMs = DiskStep::kRepollMs; // pause before asking again after a poll without progress

    DiskPage(QWidget* host, WizardContext& context);
    ~DiskPage() override;

    void Leave() override;

    // The formatting box's limit in 100 ms ticks (tests shorten it).
    int formatTickLimit = kFormatTicks;

    // What the page knows of the ports (index 0 HD1, 1 HD2) from the last storage report.
    bool storageKnown() const { return reported; }
    // The error box's RETRY after the disk information could not be read ends the box with this result.
    static constexpr int kRetryResult = 4;
    bool portPlugged(int port) const { return plugged[static_cast<size_t>(port & 1)]; }
    bool portReady(int port) const { return ready[static_cast<size_t>(port & 1)]; }
    bool formatting() const { return formatRunning; }
    // The confirmation's lines naming the plugged disks ("HD1: model (size)"), UTF-8.
    std::string DiskList() const;
    // A plugged disk's model and size as the recorder reports them ("model (size)"), UTF-8; empty without a disk.
    std::string DiskDescription(int port) const;

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    void OnBack() override;
    void OnSkip() override;

private:
    void storageChanged(const std::atomic<int32_t>* readyFlags, const std::atomic<int32_t>* pluggedFlags);
    void showPorts();
    void runCheckingBox();
    bool formatDisks();
    void stopWorker();

    WizardContext& context;
    const RecorderAccess recorder; // the recorder as the page found it

    MarkupText* body = nullptr;
    PictureSwitch* ports = nullptr;
    BusyIndicator* checking = nullptr;
    MarkupText* nextHint = nullptr;
    MarkupText* important = nullptr;

    std::array<bool, 2> plugged { false, false };
    std::array<bool, 2> ready { false, false };
    std::array<bool, 2> unreadable { false, false }; // the port's latest answer could not be read
    bool reported = false; // a storage report has arrived
    bool formatRunning = false; // from the confirmation to the end of formatting: storage reports are ignored
    bool left = false;

    // The checking box has a flag of its own: a storage report ends it, never the formatting box (bound to the
    // format step).
    std::atomic<int32_t> checkingWaiting { 0 };
    // Formatting, on the step's own thread; its progress is read by the formatting box, its result by the page
    // once it is joined.
    std::unique_ptr<DiskStep> format;
};
