#pragma once
// The cloud portal's form posts: sign-up, sign-in and binding the recorder to the account, with the
// "quelmo" session cookie and the count of failed attempts sent along with every form.

#include "device/DeviceCommand.h"

#include <vector>

enum PortalCommandCode : int32_t {
    CommandPortalSignUp = 1000,
    CommandPortalSignIn = 1001,
    CommandPortalBind = 1002,
};

const std::vector<DeviceCommand>& PortalCommands();
