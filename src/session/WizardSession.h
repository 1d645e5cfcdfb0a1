#pragma once
// Everything one run of the wizard learns and hands from page to page: the chosen recorder, its
// administrator credentials, the cameras found and chosen, and the cloud account. Owned by the host.

#include "session/CameraRecord.h"
#include "session/ChosenRecorder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct WizardSession
{
    ChosenRecorder recorder; // set on the search page; the password page adds the password
    std::vector<std::unique_ptr<CameraRecord>> cameras; // cameras found and chosen, in discovery order
    std::string cloudEmail;
    std::string cloudPassword;

    // What the pages did, for the setup report.
    std::string zoneName; // the zone the time-zone page set; empty when none was set
    enum class DiskResult { Kept, Formatted, Failed };
    struct DiskOutcome
    {
        int32_t id = 0; // the port, from 1 (HD1)
        std::string description; // model and size as the recorder reports them
        DiskResult result = DiskResult::Kept;
    };
    std::vector<DiskOutcome> disks; // the disks the disk page found, by port
    std::string cloudNumber; // the device number the cloud page bound the recorder under; empty: not bound

    std::string CloudEmail() const { return cloudEmail; }
    std::string CloudPassword() const { return cloudPassword; }

    void SetCloudAccount(const std::string& email, const std::string& password);
    // Records what became of the disk in port `id` (a later outcome replaces an earlier one); with `keepEarlier`
    // an outcome already recorded for the port stays (skipping after a failed format keeps the failure).
    void NoteDisk(int32_t id, const std::string& description, DiskResult result, bool keepEarlier = false);

    int CameraCount() const;
    // The record at i (the session keeps owning it), or nullptr when i is negative or not below the count.
    CameraRecord* Camera(int i) const;
    // The session takes the record; a null record is ignored.
    void AppendCamera(std::unique_ptr<CameraRecord> record);
    void ClearCameras();
};
