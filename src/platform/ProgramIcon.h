#pragma once
// Where the program's icon file is installed: the application-data copy and the "system" copy that the desktop
// shortcut names, both below $XDG_DATA_HOME (default ~/.local/share). Plain paths; nothing here writes.

#include <string>

// "$XDG_DATA_HOME/HXT-914Q/" (ending with "/"); empty when neither XDG_DATA_HOME nor HOME is set.
std::string ApplicationDataFolder();
// "$XDG_DATA_HOME/icons/" (ending with "/"); empty as above.
std::string SystemIconFolder();
// The installed icon the shortcut points at: SystemIconFolder() + "HXT-914Q.ico".
std::string InstalledIconPath();
