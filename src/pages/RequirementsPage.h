#pragma once
// Page 2: what the user needs: a router port and up to two USB disks (the picture is part of the background); BACK and
// NEXT.

#include "pages/GuidePage.h"

class RequirementsPage : public GuidePage
{
    Q_OBJECT
public:
    RequirementsPage(QWidget* host, WizardSession& session);
};
