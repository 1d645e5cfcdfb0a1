#pragma once
// One camera that the recorder reports: its address, credentials, names and the page's two flags.
// Plain data; the session's camera list owns the records.

#include <cstdint>
#include <string>

struct CameraRecord
{
    std::string ip; // dotted IPv4 address, possibly followed by ":" and a port; the camera's identity
    std::string account = "admin"; // camera user name
    std::string password; // the password known for the camera
    std::string mac; // MAC text; key of the remembered cameras and of the discovery record
    std::string model; // model name
    std::string brand; // brand, handed on at registration
    std::string onRecorder; // contains "1" anywhere: already registered with the recorder
    int32_t verified = 0; // 1: password is known to be right
    std::string extra; // kept, not used
    std::string protocolType; // decimal text; 0 selects the UDP password path, anything else the camera's HTTP
    int32_t selected = 0; // 1: register this camera on Next
};
