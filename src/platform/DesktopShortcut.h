#pragma once
// The desktop shortcut the wizard leaves at the end: a freedesktop desktop entry (Linux) or a shell link (Windows)
// that opens the recorder's page on the cloud portal or its local address with the default browser, with the
// installed program icon.

#include <string>

enum class ShortcutForm {
    Portal, // the recorder's page on the cloud portal
    Local, // the recorder's local address
};

// The support address a shortcut opens when it knows no better one.
constexpr const char* kMakerSite = "http://www.veskor.com";

// The entry's file name: "HXT-914Q.desktop", or for the portal form with a device number
// "HXT-914Q(<number>).desktop" (".lnk" in place of ".desktop" on Windows). Characters that cannot be part of one
// file name (control characters, "/", and on Windows also \ : * ? " < > |) in the number become "_".
std::string ShortcutFileName(ShortcutForm form, const std::string& deviceNumber);

// The shortcut's argument text: portal form with number and address: "\"https://<address>/device#<number>?lang=en\"";
// else the portal address alone, or kMakerSite. Local form: the local link in quotation marks, or kMakerSite.
std::string ShortcutArgument(
    ShortcutForm form, const std::string& deviceNumber, const std::string& portalAddress, const std::string& localLink);

// The address an argument text names: the text without the quotation marks around it.
std::string AddressOfArgument(const std::string& argument);

// Whether address starts with a URL scheme and "://".
bool HasScheme(const std::string& address);

// The address the entry opens: the argument's address, with "https://" before a portal address and "http://"
// before a local one that has no scheme (xdg-open takes a bare host name for a file name). An address with any
// scheme but http or https opens kMakerSite instead.
std::string EntryAddress(ShortcutForm form, const std::string& argument);

// The desktop entry that opens address with xdg-open and shows icon (no Icon key when iconPath is empty);
// control characters of the address are left out, the rest is quoted and escaped as the Desktop Entry rules
// require.
std::string DesktopEntryText(const std::string& address, const std::string& iconPath);

// The user's desktop folder. Windows: the Desktop known folder (DesktopKnownFolder). Linux: XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Desktop. Relative
// XDG_CONFIG_HOME and HOME are ignored; empty when no absolute folder is known.
std::string DesktopFolder();

// Writes text to folder/fileName with mode 0755, replacing an existing entry of that name (never writing through
// a symbolic link); the folder is created when missing. False when any step fails.
bool WriteDesktopEntry(const std::string& folder, const std::string& fileName, const std::string& text);

// Windows: writes a shell link folder\\fileName that opens address with the default browser (through Explorer)
// and shows the icon at iconPath, replacing a link of that name; the folder is created when missing. False when
// any step fails, and always on Linux.
bool WriteWindowsShortcut(
    const std::string& folder, const std::string& fileName, const std::string& address, const std::string& iconPath);

// Makes the shortcut on the desktop: the portal form when access is exactly "1", else the local form, with the
// icon that InstallProgramIcon installed. Returns the entry's path, or an empty text when it could not be written.
std::string MakeDesktopShortcut(const std::string& access, const std::string& deviceNumber,
    const std::string& portalAddress, const std::string& localLink);
