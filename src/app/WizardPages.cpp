#include "app/WizardPages.h"

#include "pages/CameraOverlays.h"
#include "pages/GuideOverlays.h"

void RegisterWizardOverlays()
{
    RegisterCameraOverlays();
}
