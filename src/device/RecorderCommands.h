#pragma once
// The recorder's configuration interface: GET requests under "/config/" answered by lines of
// key "=" value ended by CR LF. One table entry per command the request object runs.

#include "device/DeviceCommand.h"

#include <string>
#include <vector>

enum RecorderCommandCode : int32_t {
    CommandFormatDisk = 2006,
    CommandPollFormat = 2007,
    CommandAddCamera = 2009,
    CommandDeleteCamera = 2010,
    CommandSetCloudRegStatus = 2011,
    CommandGetCloudPortal = 2012,
    CommandSetCloudRegInfo = 2014,
    CommandDiscoverCameras = 2015,
};

const std::vector<DeviceCommand>& RecorderCommands();

// A number as the recorder writes it: optional blanks and sign, then leading digits; none gives 0.
// Values beyond the 32-bit range are clamped.
int32_t AnswerNumber(const std::string& text);
