#include "pages/RequirementsPage.h"

#include "overlays/AlertBox.h"
#include "i18n/Localization.h"

RequirementsPage::RequirementsPage(QWidget* host, WizardSession&)
    : GuidePage(host, 2, 3008, FromUtf8(Text("home_04", "Requirements")),
        FromUtf8(Text("home_05",
            "You will need a router with one free Ethernet port, and up to two USB hard drives to continue the "
            "installation process.")),
        14, 0xFF484848u, 0)
{
}
