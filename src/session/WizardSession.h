#pragma once
// Everything one run of the wizard learns and hands from page to page: the chosen recorder, its
// administrator credentials, the cameras found and chosen, and the cloud account. Owned by the host.

#include "session/CameraRecord.h"

#include <memory>
#include <string>
#include <vector>

struct WizardSession
{
    std::string nvrIp; // the chosen recorder's IPv4 address, as the search list shows it
    std::string nvrMac; // the chosen recorder's MAC text, as the search list shows it
    std::string nvrPassword; // administrator password created or entered on the password page
    std::string nvrUser; // administrator user name, always "admin" once a recorder is chosen
    std::vector<std::unique_ptr<CameraRecord>> cameras; // cameras found and chosen, in discovery order
    std::string cloudEmail;
    std::string cloudPassword;

    std::string NvrIp() const { return nvrIp; }
    std::string NvrMac() const { return nvrMac; }
    std::string NvrPassword() const { return nvrPassword; }
    std::string NvrUser() const { return nvrUser; }
    std::string CloudEmail() const { return cloudEmail; }
    std::string CloudPassword() const { return cloudPassword; }

    void SetNvrIp(const std::string& value) { nvrIp = value; }
    void SetNvrMac(const std::string& value) { nvrMac = value; }
    void SetNvrUser(const std::string& value) { nvrUser = value; }
    void SetNvrPassword(const std::string& value) { nvrPassword = value; }
    void SetCloudAccount(const std::string& email, const std::string& password);

    int CameraCount() const;
    // The record at i (the session keeps owning it), or nullptr when i is negative or not below the count.
    CameraRecord* Camera(int i) const;
    // The session takes the record; a null record is ignored.
    void AppendCamera(std::unique_ptr<CameraRecord> record);
    void ClearCameras();
};
