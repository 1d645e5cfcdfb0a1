#include "pages/CablingNetworkPage.h"

#include "overlays/AlertBox.h"
#include "i18n/Localization.h"

CablingNetworkPage::CablingNetworkPage(QWidget* host, WizardSession&)
    : GuidePage(host, 4, 3003, FromUtf8(Text("intro_01", "Connect your device")),
        FromUtf8(Text("intro_03", "Connect the ethernet cable to your HXT-914Q and router's LAN port.")), 16,
        0xFF484848u, 4072)
{
}
