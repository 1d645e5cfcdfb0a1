#include "StandInPage.h"

#include "app/WizardHost.h"
#include "overlays/AlertBox.h"
#include "i18n/Localization.h"
#include "ui/Messages.h"

namespace {

int BackgroundFor(int number)
{
    return number == 9 ? 3005 : 3001;
}

} // namespace

StandInPage::StandInPage(WizardHost* host, int number)
    : WizardPage(host, number, BackgroundFor(number))
{
    SetTitle(TitleFor(number));
    ShowNavButtons(number >= 2 && number <= 11, number <= 11);
    if (number == 9)
        SetStorageStatus(host->Storage().fsCode);
    if (number == 7)
        SetProbeFlags(&host->Probe().probeBusy, &host->Probe().defaultLoginRefused, &host->Probe().defaultLoginAccepted);
}

QString StandInPage::TitleFor(int number)
{
    switch (number) {
    case 6:
        return FromUtf8(Text("nvrsearch_01", "Select your NVR device"));
    case 7:
        return FromUtf8(Text("nvrpwd_01", "Secure your NVR"));
    case 8:
        return FromUtf8(Text("SetupTimeZone_title", "Set time zone"));
    case 9:
        return FromUtf8(Text("hddformat_01", "Setup HDD for NVR"));
    case 10:
        return FromUtf8(Text("camsearch_01", "Add your cameras"));
    case 11:
        return FromUtf8(Text("veskor_01", "Quelmo Service"));
    default:
        return QString();
    }
}

void StandInPage::SetProbeFlags(
    std::atomic<int32_t>* busy, std::atomic<int32_t>* refused, std::atomic<int32_t>* accepted)
{
    probeBusy = busy;
    defaultLoginRefused = refused;
    defaultLoginAccepted = accepted;
}

// The messages of each page's own NEXT and BACK, in their order.
void StandInPage::OnNext()
{
    switch (pageNumber()) {
    case 6:
        PostToHost(WM_START_LOGIN_PROBE);
        break;
    case 8:
        PostToHost(WM_STORAGE_WATCH, 0);
        break;
    case 9:
        PostToHost(WM_STORAGE_WATCH, 1);
        break;
    default:
        break;
    }
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void StandInPage::OnBack()
{
    switch (pageNumber()) {
    case 8:
        PostToHost(WM_START_LOGIN_PROBE);
        break;
    case 9:
        PostToHost(WM_STORAGE_WATCH, 1);
        break;
    case 10:
        PostToHost(WM_STORAGE_WATCH, 0);
        break;
    default:
        break;
    }
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void StandInPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (message == WM_PROBE_FAILED)
        ++probeFailures;
    else if (message == WM_STORAGE_CHANGED) {
        ++storageReports;
        lastReady = wParam;
        lastPlugged = lParam;
    } else
        WizardPage::onMessage(message, wParam, lParam);
}
