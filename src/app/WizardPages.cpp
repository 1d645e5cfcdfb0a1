#include "app/WizardPages.h"

#include "pages/GuideOverlays.h"

void RegisterWizardOverlays() { }
