#include "platform/DesktopShortcut.h"

#include "platform/FilePaths.h"
#include "platform/KnownFolders.h"
#include "platform/ProgramIcon.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "platform/CodePage.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* kBaseName = "HXT-914Q";

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// $HOME when it is an absolute path (a relative or missing one names no folder of the user's).
std::string HomeFolder()
{
    const std::string home = Environment("HOME");
    return IsAbsolutePath(home) ? home : std::string();
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

#ifndef _WIN32
// Creates folder and its missing parents with mode 0755.
bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info
    {
    };
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
#else
std::wstring Wide(const std::string& utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

// Whether c may not stand in a Windows file name.
bool IsReservedInFileName(char c)
{
    return std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}
#endif

// One value of user-dirs.dirs: "$HOME/name" or "/absolute/path", in quotation marks.
std::string UserDirValue(std::string value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        unescaped += value[i];
    }
    if (unescaped.rfind("$HOME", 0) == 0)
        return HomeFolder().empty() ? std::string() : HomeFolder() + unescaped.substr(5);
    if (!unescaped.empty() && unescaped.front() == '/')
        return unescaped;
    return std::string();
}

// Whether address starts with "http://" or "https://", in any letter case.
bool IsWebScheme(const std::string& address)
{
    const size_t end = address.find("://");
    std::string scheme = address.substr(0, end);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end != std::string::npos && (scheme == "http" || scheme == "https");
}

} // namespace

std::string ShortcutFileName(ShortcutForm form, const std::string& deviceNumber)
{
    std::string name = kBaseName;
    if (form == ShortcutForm::Portal && !deviceNumber.empty()) {
        name += '(';
        for (char c : deviceNumber) {
#ifdef _WIN32
            const bool reserved = IsReservedInFileName(c);
#else
            const bool reserved = c == '/';
#endif
            name += (reserved || IsControl(static_cast<unsigned char>(c))) ? '_' : c;
        }
        name += ')';
    }
#ifdef _WIN32
    return name + ".lnk";
#else
    return name + ".desktop";
#endif
}

std::string ShortcutArgument(
    ShortcutForm form, const std::string& deviceNumber, const std::string& portalAddress, const std::string& localLink)
{
    if (form == ShortcutForm::Portal) {
        if (!deviceNumber.empty() && !portalAddress.empty())
            return "\"https://" + portalAddress + "/device#" + deviceNumber + "?lang=en\"";
        return !portalAddress.empty() ? portalAddress : std::string(kMakerSite);
    }
    if (!localLink.empty())
        return "\"" + localLink + "\"";
    return kMakerSite;
}

std::string AddressOfArgument(const std::string& argument)
{
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        return argument.substr(1, argument.size() - 2);
    return argument;
}

bool HasScheme(const std::string& address)
{
    // scheme "://": a letter, then letters, digits, "+", "-" or ".".
    const size_t end = address.find("://");
    if (end == std::string::npos || end == 0 || !std::isalpha(static_cast<unsigned char>(address[0])))
        return false;
    for (size_t i = 1; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(address[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

std::string EntryAddress(ShortcutForm form, const std::string& argument)
{
    const std::string address = AddressOfArgument(argument);
    if (address.empty())
        return address;
    // The address comes from the recorder: a shortcut that opens it must open a web page, never a file or
    // whatever else a desktop hands other schemes to.
    if (HasScheme(address))
        return IsWebScheme(address) ? address : std::string(kMakerSite);
    // The portal is reached over HTTPS; the recorder's own page over HTTP, as GO TO NVR opens it.
    return (form == ShortcutForm::Portal ? "https://" : "http://") + address;
}

std::string DesktopEntryText(const std::string& address, const std::string& iconPath)
{
    // Exec's argument: "%" is written "%%"; inside the quotation marks '"', '`', '$' and '\' take a backslash;
    // then the value as a whole doubles every backslash.
    std::string quoted = "\"";
    for (char c : address) {
        if (IsControl(static_cast<unsigned char>(c)))
            continue;
        if (c == '%') {
            quoted += "%%";
            continue;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string exec = "xdg-open ";
    for (char c : quoted) {
        if (c == '\\')
            exec += '\\';
        exec += c;
    }
    std::string icon;
    for (char c : iconPath) {
        if (IsControl(static_cast<unsigned char>(c)))
            continue;
        if (c == '\\')
            icon += '\\';
        icon += c;
    }
    // Without an installed icon the entry names none (the desktop shows its default).
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name="
        + std::string(kBaseName) + "\nExec=" + exec + (icon.empty() ? std::string() : "\nIcon=" + icon)
        + "\nTerminal=false\n";
}

std::string DesktopFolder()
{
#ifdef _WIN32
    return DesktopKnownFolder();
#endif
    std::string config = Environment("XDG_CONFIG_HOME");
    if (!IsAbsolutePath(config))
        config = HomeFolder().empty() ? std::string() : HomeFolder() + "/.config";
    std::ifstream dirs;
    if (!config.empty())
        dirs.open(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.rfind(key, 0) == 0) {
            std::string folder = UserDirValue(line.substr(key.size()));
            if (!folder.empty())
                return folder;
        }
    }
    return HomeFolder().empty() ? std::string() : HomeFolder() + "/Desktop";
}

bool WriteDesktopEntry(const std::string& folder, const std::string& fileName, const std::string& text)
{
#ifdef _WIN32
    (void)folder;
    (void)fileName;
    (void)text;
    return false; // Windows desktops show shell links, not desktop entries (WriteWindowsShortcut)
#else
    if (fileName.empty() || fileName.find('/') != std::string::npos || !MakeFolders(folder))
        return false;
    const std::string target = folder + "/" + fileName;
    std::string pattern = folder + "/.HXT-914Q.XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0755) == 0;
    std::string_view rest(text);
    while (ok && !rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            rest.remove_prefix(static_cast<size_t>(n));
    }
    ok = ::close(fd) == 0 && ok;
    // rename replaces an existing entry (or a symbolic link of that name) without following it.
    if (ok)
        ok = ::rename(temporary.data(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.data());
    return ok;
#endif
}

bool WriteWindowsShortcut(
    const std::string& folder, const std::string& fileName, const std::string& address, const std::string& iconPath)
{
#ifdef _WIN32
    if (fileName.empty() || fileName.find_first_of("/\\") != std::string::npos || folder.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(NativePath(folder), error);
    // The link starts Explorer with the address as its one argument, which opens it in the default browser.
    std::string argument = "\"";
    for (char c : address) {
        if (IsControl(static_cast<unsigned char>(c)))
            continue;
        if (c == '"')
            argument += "%22";
        else
            argument += c;
    }
    argument += '"';
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring explorer = std::wstring(windows, length) + L"\\explorer.exe";

    // The calling thread may already be in an apartment (the wizard's interface thread is): then that one is used.
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        IShellLinkW* link = nullptr;
        if (SUCCEEDED(CoCreateInstance(
                CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
            ok = SUCCEEDED(link->SetPath(explorer.c_str())) && SUCCEEDED(link->SetArguments(Wide(argument).c_str()))
                && SUCCEEDED(link->SetDescription(Wide(kBaseName).c_str()));
            if (ok && !iconPath.empty())
                link->SetIconLocation(Wide(iconPath).c_str(), 0);
            IPersistFile* file = nullptr;
            if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                // Saved under a new name, then put in place in one step: a link of the shortcut's name is replaced,
                // never written through.
                const std::wstring target = Wide(folder + "\\" + fileName);
                const std::wstring temporary
                    = Wide(folder + "\\." + kBaseName + "-" + std::to_string(GetCurrentProcessId()) + ".lnk");
                ok = SUCCEEDED(file->Save(temporary.c_str(), TRUE))
                    && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
                if (!ok)
                    DeleteFileW(temporary.c_str());
                file->Release();
            } else {
                ok = false;
            }
            link->Release();
        }
    }
    if (SUCCEEDED(joined))
        CoUninitialize();
    return ok;
#else
    (void)folder;
    (void)fileName;
    (void)address;
    (void)iconPath;
    return false; // Linux desktops show desktop entries (WriteDesktopEntry)
#endif
}

std::string MakeDesktopShortcut(const std::string& access, const std::string& deviceNumber,
    const std::string& portalAddress, const std::string& localLink)
{
    const ShortcutForm form = access == "1" ? ShortcutForm::Portal : ShortcutForm::Local;
    const std::string argument = ShortcutArgument(form, deviceNumber, portalAddress, localLink);
    const std::string folder = DesktopFolder();
    if (folder.empty())
        return std::string();
    const std::string fileName = ShortcutFileName(form, deviceNumber);
#ifdef _WIN32
    const bool written = WriteWindowsShortcut(folder, fileName, EntryAddress(form, argument), InstalledIconPath());
    return written ? folder + "\\" + fileName : std::string();
#else
    const std::string text = DesktopEntryText(EntryAddress(form, argument), InstalledIconPath());
    return WriteDesktopEntry(folder, fileName, text) ? folder + "/" + fileName : std::string();
#endif
}
