#pragma once
// A page with the common frame and its title only, for the host's own tests: a page builder that hands these
// out lets the whole page sequence and the services' messages be tried without the real pages. Its NEXT and
// BACK post what that page's own NEXT and BACK post; it takes the host's services as the real page would.

#include "pages/WizardPage.h"

class WizardHost;

#include <QString>
#include <atomic>
#include <cstdint>

class StandInPage : public WizardPage
{
    Q_OBJECT
public:
    StandInPage(WizardHost* host, int number);

    int number() const { return pageNumber(); }
    static QString TitleFor(int number);

    // What the host hands the pages that use its services.
    void SetProbeFlags(std::atomic<int32_t>* busy, std::atomic<int32_t>* refused, std::atomic<int32_t>* accepted);
    void SetStorageStatus(std::atomic<int32_t>* fsCode) { storageStatus = fsCode; }
    std::atomic<int32_t>* probeBusy = nullptr;
    std::atomic<int32_t>* defaultLoginRefused = nullptr;
    std::atomic<int32_t>* defaultLoginAccepted = nullptr;
    std::atomic<int32_t>* storageStatus = nullptr;
    int probeFailures = 0;
    int storageReports = 0;
    intptr_t lastReady = 0; // WM_STORAGE_CHANGED: where ready[2] is
    intptr_t lastPlugged = 0; // and plugged[2]

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    void OnBack() override;
};
