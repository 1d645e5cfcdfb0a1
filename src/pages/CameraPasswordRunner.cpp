#include "pages/CameraPasswordRunner.h"

// Stand-in until the password overlays arrive: opens nothing and accepts nothing.

CameraPasswordRunner::CameraPasswordRunner(WizardContext& wizardContext, QObject* parent)
    : QObject(parent)
    , context(wizardContext)
{
    (void)context;
}

CameraPasswordRunner::~CameraPasswordRunner()
{
    Stop();
}

void CameraPasswordRunner::Open(QWidget*, const CameraPasswordJob&) { }

bool CameraPasswordRunner::Busy() const
{
    return false;
}

void CameraPasswordRunner::Stop() { }
