#include "app/WizardPages.h"

#include "app/CTransparentPage.h"

void RegisterWizardOverlays() { }
