#include "platform/ProgramIcon.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

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

} // namespace

std::string ApplicationDataFolder()
{
    const std::string base = DataHome();
    return base.empty() ? base : base + "HXT-914Q/";
}

std::string SystemIconFolder()
{
    const std::string base = DataHome();
    return base.empty() ? base : base + "icons/";
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
    std::filesystem::create_directories(dataFolder, error);
    if (error)
        return false;
    const std::string written = dataFolder + "HXT-914Q.ico";
    {
        std::ofstream out(written, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return false;
    }
    std::filesystem::create_directories(SystemIconFolder(), error);
    if (error)
        return false;
    std::filesystem::copy_file(written, installed, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}
