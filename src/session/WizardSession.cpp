#include "session/WizardSession.h"

#include <algorithm>

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

void WizardSession::NoteDisk(int32_t id, const std::string& description, DiskResult result, bool keepEarlier)
{
    for (DiskOutcome& disk : disks) {
        if (disk.id != id)
            continue;
        if (!keepEarlier) {
            disk.description = description;
            disk.result = result;
        }
        return;
    }
    disks.push_back({ id, description, result });
    std::sort(disks.begin(), disks.end(), [](const DiskOutcome& a, const DiskOutcome& b) { return a.id < b.id; });
}
