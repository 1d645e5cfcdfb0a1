#include "session/WizardSession.h"

void WizardSession::SetCloudAccount(const std::string& email, const std::string& password)
{
    cloudEmail = email;
    cloudPassword = password;
}

int WizardSession::CameraCount() const
{
    return static_cast<int>(cameras.size());
}

CameraRecord* WizardSession::Camera(int i) const
{
    if (i < 0 || i >= CameraCount())
        return nullptr;
    return cameras[static_cast<size_t>(i)].get();
}

void WizardSession::AppendCamera(std::unique_ptr<CameraRecord> record)
{
    if (record)
        cameras.push_back(std::move(record));
}

void WizardSession::ClearCameras()
{
    cameras.clear();
}
