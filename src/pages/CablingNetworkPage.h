#pragma once
// Page 4: cabling step 2, the Ethernet cable to the router; BACK and NEXT.

#include "pages/GuidePage.h"

class CablingNetworkPage : public GuidePage
{
    Q_OBJECT
public:
    CablingNetworkPage(QWidget* host, WizardSession& session);
};
