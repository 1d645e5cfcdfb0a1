#include "platform/ProgramIcon.h"

#include "platform/FilePaths.h"
#include "platform/KnownFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

#ifdef _WIN32
// The local application-data folder ("C:\Users\<name>\AppData\Local\"); the icon has no "system" copy on
// Windows: the shortcut names the one in the program's own folder below it.
std::string DataHome()
{
    const std::string local = LocalAppDataFolder();
    return local.empty() ? local : local + "\\";
}
#else
std::string DataHome()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.local/share/";
    return std::string();
}
#endif

} // namespace

std::string ApplicationDataFolder()
{
    const std::string base = DataHome();
#ifdef _WIN32
    return base.empty() ? base : base + "HXT-914Q\\";
#else
    return base.empty() ? base : base + "HXT-914Q/";
#endif
}

std::string SystemIconFolder()
{
    const std::string base = DataHome();
#ifdef _WIN32
    return base.empty() ? base : base + "HXT-914Q\\icons\\";
#else
    return base.empty() ? base : base + "icons/";
#endif
}

std::string InstalledIconPath()
{
    const std::string folder = SystemIconFolder();
    return folder.empty() ? folder : folder + "HXT-914Q.ico";
}

bool InstallProgramIcon(std::string_view bytes)
{
    if (bytes.empty())
        return false;
    const std::string dataFolder = ApplicationDataFolder();
    const std::string installed = InstalledIconPath();
    if (dataFolder.empty() || installed.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(NativePath(dataFolder), error);
    if (error)
        return false;
    const std::string written = dataFolder + "HXT-914Q.ico";
    {
        std::ofstream out(NativePath(written), std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return false;
    }
    std::filesystem::create_directories(NativePath(SystemIconFolder()), error);
    if (error)
        return false;
    std::filesystem::copy_file(NativePath(written), NativePath(installed), std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}
