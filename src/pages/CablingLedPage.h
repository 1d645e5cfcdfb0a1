#pragma once
// Page 5: cabling step 3, the LED turning blue. Its text is a link whose icon opens the red-LED help; when a
// help overlay ends with OK (the recorder was reset), the wizard starts again at page 1.

#include "pages/GuidePage.h"

class FixedIconHelpLink;

class CablingLedPage : public GuidePage
{
    Q_OBJECT
public:
    CablingLedPage(QWidget* host, WizardSession& session);

    FixedIconHelpLink* ledLink() const { return link; }

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;

private:
    FixedIconHelpLink* link = nullptr;
};
