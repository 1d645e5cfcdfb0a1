#include "platform/ProgramIcon.h"

#include <cstdlib>

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
