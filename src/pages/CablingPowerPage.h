#pragma once
// Page 3: cabling step 1, the power adapter; BACK and NEXT.

#include "pages/GuidePage.h"

class CablingPowerPage : public GuidePage
{
    Q_OBJECT
public:
    CablingPowerPage(QWidget* host, WizardSession& session);
};
