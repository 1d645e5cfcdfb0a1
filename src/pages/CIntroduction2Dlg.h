#pragma once
// Page 4: cabling step 2, the Ethernet cable to the router; BACK and NEXT.

#include "pages/GuidePage.h"

class CIntroduction2Dlg : public GuidePage
{
    Q_OBJECT
public:
    CIntroduction2Dlg(QWidget* host, WizardSession& session);
};
