#pragma once
// The wizard host: owns the session, the portal record, the discovery table, the request object and the two
// background services, shows one page at a time and moves between pages as the pages' messages ask.

#include "app/CloudPortalInfo.h"
#include "app/DefaultLoginProbe.h"
#include "app/StorageWatch.h"
#include "app/WizardSession.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class NvrClient;
class QEventLoop;
class SearchDevice;

class CInterDialog : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPageCount = 12;
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 640;

    // Builds page number n as a child of the host (nullptr: nothing to show).
    using PageBuilder = std::function<QWidget*(CInterDialog* host, int n)>;

    // A child of frame, which receives the minimise and move messages; not shown until DoModal.
    explicit CInterDialog(QWidget* frame);
    ~CInterDialog() override;

    // Shows page 1 and returns once a page asked to close or finish (its code, NAV_CLOSE or NAV_FINISH). The
    // shown page is destroyed and both services are stopped before it returns.
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
    static QWidget* BuildStandardPage(CInterDialog* host, int n);

    // The shared objects.
    WizardSession& Session() { return session; }
    CloudPortalInfo& Portal() { return portal; }
    SearchDevice& DiscoveryEngine() { return *discovery; }
    NvrClient& Client() { return *client; }
    DefaultLoginProbe& Probe() { return *probe; }
    StorageWatch& Storage() { return *storage; }

    // Session operations for the pages (getters return copies).
    std::string NvrIp() const { return session.NvrIp(); }
    std::string NvrMac() const { return session.NvrMac(); }
    std::string NvrPassword() const { return session.NvrPassword(); }
    std::string NvrUser() const { return session.NvrUser(); }
    std::string CloudEmail() const { return session.CloudEmail(); }
    std::string CloudPassword() const { return session.CloudPassword(); }
    void SetNvrIp(const std::string& value) { session.SetNvrIp(value); }
    void SetNvrMac(const std::string& value) { session.SetNvrMac(value); }
    void SetNvrUser(const std::string& value) { session.SetNvrUser(value); }
    void SetNvrPassword(const std::string& value) { session.SetNvrPassword(value); }
    void SetCloudAccount(const std::string& email, const std::string& password)
    {
        session.SetCloudAccount(email, password);
    }
    int CameraCount() const { return session.CameraCount(); }
    CameraRecord* Camera(int i) const { return session.Camera(i); }
    void AppendCamera(std::unique_ptr<CameraRecord> record) { session.AppendCamera(std::move(record)); }
    void ClearCameras() { session.ClearCameras(); }

    // The probe's flags (handed to the password page) and the storage watch's values (the disk page).
    std::atomic<int32_t>& probeBusy() { return probe->probeBusy; }
    std::atomic<int32_t>& defaultLoginAccepted() { return probe->defaultLoginAccepted; }
    std::atomic<int32_t>& defaultLoginRefused() { return probe->defaultLoginRefused; }
    std::atomic<int32_t>* storageFsCode() { return storage->fsCode; }

    // Handles one window message (the host's own; others change nothing).
    void onMessage(int message, intptr_t wParam, intptr_t lParam);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(int n);
    void destroyShownPage();
    void wirePage(QWidget* page, int n);
    void probeFailed();
    void storageChanged();
    void stopServices();
    void saveScreenshot(int n);

    QPointer<QWidget> frame;
    WizardSession session;
    CloudPortalInfo portal;
    std::unique_ptr<SearchDevice> discovery;
    std::unique_ptr<NvrClient> client;
    std::unique_ptr<DefaultLoginProbe> probe;
    std::unique_ptr<StorageWatch> storage;
    std::array<QPointer<QWidget>, kPageCount + 1> pageSlots; // index = page number; 0 unused
    PageBuilder pageBuilder;
    QEventLoop* loop = nullptr;
    int endCode = 0;
    int screenshotCount = 0;
};
