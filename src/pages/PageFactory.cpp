#include "pages/PageFactory.h"

#include "pages/CHomeDlg.h"
#include "pages/CIntroduction1Dlg.h"
#include "pages/CIntroduction2Dlg.h"
#include "pages/CIntroduction3Dlg.h"
#include "pages/CRequirementDlg.h"
#include "pages/CSummaryDlg.h"

WizardPage* CreateWizardPage(int number, QWidget* host, WizardSession& session, const CloudPortalInfo& portal)
{
    switch (number) {
    case 1:
        return new CHomeDlg(host, session);
    case 2:
        return new CRequirementDlg(host, session);
    case 3:
        return new CIntroduction1Dlg(host, session);
    case 4:
        return new CIntroduction2Dlg(host, session);
    case 5:
        return new CIntroduction3Dlg(host, session);
    case 12:
        return new CSummaryDlg(host, session, portal); // copies what it shows from the portal record now
    default:
        return nullptr;
    }
}
