#pragma once
// Page 3: cabling step 1, the power adapter; BACK and NEXT.

#include "pages/GuidePage.h"

class CIntroduction1Dlg : public GuidePage
{
    Q_OBJECT
public:
    CIntroduction1Dlg(QWidget* host, WizardSession& session);
};
