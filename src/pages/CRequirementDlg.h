#pragma once
// Page 2: what the user needs: a router port and up to two USB disks (the picture is part of the background); BACK and
// NEXT.

#include "pages/GuidePage.h"

class CRequirementDlg : public GuidePage
{
    Q_OBJECT
public:
    CRequirementDlg(QWidget* host, WizardSession& session);
};
