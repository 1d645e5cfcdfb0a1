#pragma once
// Where the program's icon file is installed, and installing it: the application-data copy and the "system"
// copy that the desktop shortcut names, both below $XDG_DATA_HOME (default ~/.local/share). InstalledIconPath is
// the one place that decides the shortcut icon's path, for the installer and the desktop entry alike.

#include <string>
#include <string_view>

// "$XDG_DATA_HOME/HXT-914Q/" (ending with "/"). A relative XDG_DATA_HOME is ignored, as the XDG rules say; empty
// when neither it nor HOME is an absolute path.
std::string ApplicationDataFolder();
// "$XDG_DATA_HOME/icons/" (ending with "/"); empty as above.
std::string SystemIconFolder();
// The installed icon the shortcut points at: SystemIconFolder() + "HXT-914Q.ico"; empty when there is none.
std::string InstalledIconPath();

// Writes the icon's bytes to the application-data folder and copies that file to InstalledIconPath(), creating
// the folders. Silent: a failed step ends it. True when both files were written.
bool InstallProgramIcon(std::string_view bytes);
