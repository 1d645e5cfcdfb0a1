#pragma once
// The wizard host: owns the session, the portal record, the discovery table, the request object and the two
// background services, shows one page at a time and moves between pages as the pages' messages ask.

#include "session/WizardContext.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QEventLoop;

class WizardHost : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPageCount = 12;
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 640;

    // Builds page number n as a child of the host (nullptr: nothing to show).
    using PageBuilder = std::function<QWidget*(WizardHost* host, int n)>;

    // A child of frame, which receives the minimise and move messages; not shown until DoModal.
    explicit WizardHost(QWidget* frame);
    ~WizardHost() override;

    // Shows page 1 and returns once a page asked to close or finish (its code, NAV_CLOSE or NAV_FINISH), or the
    // window was closed. The end comes at once, even under an overlay: the shown page leaves, every local loop
    // above the run ends, and both services are stopped before it returns.
    int DoModal();
    bool IsRunning() const { return loop != nullptr; }

    // The page number last asked for (1 at start).
    int currentPage = 1;

    // The page shown now and its number (0 when none).
    QWidget* ShownPage() const;
    int ShownPageNumber() const;
    QWidget* PageSlot(int n) const;

    // Replaces how pages are built (tests use stand-ins that record what they were given).
    void SetPageBuilder(PageBuilder builder) { pageBuilder = std::move(builder); }
    static QWidget* BuildStandardPage(WizardHost* host, int n);

    // The shared objects.
    WizardContext& Context() { return *context; }
    WizardSession& Session() { return context->Session(); }
    CloudPortalInfo& Portal() { return context->Portal(); }
    SearchDevice& DiscoveryEngine() { return context->DiscoveryEngine(); }
    NvrClient& Client() { return context->Client(); }
    DefaultLoginProbe& Probe() { return context->Probe(); }
    StorageWatch& Storage() { return context->Storage(); }

    // Session operations for the pages (getters return copies).
    std::string NvrIp() const { return context->Session().NvrIp(); }
    std::string NvrMac() const { return context->Session().NvrMac(); }
    std::string NvrPassword() const { return context->Session().NvrPassword(); }
    std::string NvrUser() const { return context->Session().NvrUser(); }
    std::string CloudEmail() const { return context->Session().CloudEmail(); }
    std::string CloudPassword() const { return context->Session().CloudPassword(); }
    void SetNvrIp(const std::string& value) { context->Session().SetNvrIp(value); }
    void SetNvrMac(const std::string& value) { context->Session().SetNvrMac(value); }
    void SetNvrUser(const std::string& value) { context->Session().SetNvrUser(value); }
    void SetNvrPassword(const std::string& value) { context->Session().SetNvrPassword(value); }
    void SetCloudAccount(const std::string& email, const std::string& password)
    {
        context->Session().SetCloudAccount(email, password);
    }
    int CameraCount() const { return context->Session().CameraCount(); }
    CameraRecord* Camera(int i) const { return context->Session().Camera(i); }
    void AppendCamera(std::unique_ptr<CameraRecord> record) { context->Session().AppendCamera(std::move(record)); }
    void ClearCameras() { context->Session().ClearCameras(); }

    // The probe's flags (handed to the password page) and the storage watch's values (the disk page).
    std::atomic<int32_t>& probeBusy() { return Probe().probeBusy; }
    std::atomic<int32_t>& defaultLoginAccepted() { return Probe().defaultLoginAccepted; }
    std::atomic<int32_t>& defaultLoginRefused() { return Probe().defaultLoginRefused; }
    std::atomic<int32_t>* storageFsCode() { return Storage().fsCode; }

    // Handles one window message (the host's own; others change nothing).
    void onMessage(int message, intptr_t wParam, intptr_t lParam);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(int n);
    void endRun(int code);
    void destroyShownPage();
    void probeFailed();
    void storageChanged();
    void saveScreenshot(int n);

    QPointer<QWidget> frame;
    std::unique_ptr<WizardContext> context;
    std::array<QPointer<QWidget>, kPageCount + 1> pageSlots; // index = page number; 0 unused
    PageBuilder pageBuilder;
    QEventLoop* loop = nullptr;
    int endCode = 0;
    bool ending = false; // the run is ending: messages change nothing any more
    int screenshotCount = 0;
};
