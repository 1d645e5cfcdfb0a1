#pragma once
// The IP cameras' CGI interface as the request object uses it: the login check and the password change.
// (The picture stream is read by the preview with its own connection.)

#include "device/DeviceCommand.h"

#include <vector>

enum CameraCommandCode : int32_t {
    CommandSetCameraPassword = 2017,
    CommandCheckCameraLogin = 2018,
};

const std::vector<DeviceCommand>& CameraCommands();
