#pragma once
// The user's folders that Windows names by known-folder ids, as UTF-8 paths without a trailing separator. Empty on
// Linux, where the XDG rules name the folders instead (DesktopShortcut, ProgramIcon).

#include <string>

// The Desktop known folder; HXT_DESKTOP_FOLDER, when set to an absolute path, takes its place (tests never write
// to the real desktop).
std::string DesktopKnownFolder();

// The local application-data folder; HXT_LOCAL_APPDATA_FOLDER, when set to an absolute path, takes its place.
std::string LocalAppDataFolder();
