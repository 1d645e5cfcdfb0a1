#include "pages/CablingPowerPage.h"

#include "overlays/AlertBox.h"
#include "i18n/Localization.h"

CablingPowerPage::CablingPowerPage(QWidget* host, WizardSession&)
    : GuidePage(host, 3, 3002, FromUtf8(Text("intro_01", "Connect your device")),
        FromUtf8(Text("intro_02", "Connect your HXT-914Q power adapter to a power outlet.")), 16, 0xFF484848u, 4070)
{
}
