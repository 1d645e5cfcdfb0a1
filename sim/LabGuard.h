#pragma once
// What keeps the simulator inside the lab: it answers every search broadcast and serves every device's
// passwords, so it runs only in a network namespace of its own, and not as root when a user started it with sudo.

#include <string>

// Whether this process runs in a network namespace other than the machine's own: a named one (as `ip netns`
// makes for the lab) or one that differs from the first process's. False, with why, when it runs in the
// machine's own namespace or that cannot be told.
bool InSeparateNetworkNamespace(std::string& why);

// Started as root by sudo (SUDO_UID and SUDO_GID set, not 0): becomes that user and group for good, with no
// supplementary groups. True when there was nothing to drop or it was dropped; false with the cause otherwise.
// dropped tells whether it changed user.
bool DropToCallingUser(bool& dropped, std::string& error);
