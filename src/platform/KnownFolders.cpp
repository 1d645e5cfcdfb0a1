#include "platform/KnownFolders.h"

#include "platform/FilePaths.h"

#ifdef _WIN32
#include "platform/CodePage.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#endif

#include <cstdlib>

namespace {

#ifdef _WIN32
std::string overrideOrKnown(const char* variable, REFKNOWNFOLDERID id)
{
    const char* forced = std::getenv(variable);
    if (forced != nullptr && IsAbsolutePath(forced)) {
        return forced;
    }
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) {
        const std::wstring text(path);
        result = Utf16ToUtf8(std::u16string(text.begin(), text.end()));
    }
    CoTaskMemFree(path);
    return result;
}
#endif

} // namespace

std::string DesktopKnownFolder()
{
#ifdef _WIN32
    return overrideOrKnown("HXT_DESKTOP_FOLDER", FOLDERID_Desktop);
#else
    return {};
#endif
}

std::string LocalAppDataFolder()
{
#ifdef _WIN32
    return overrideOrKnown("HXT_LOCAL_APPDATA_FOLDER", FOLDERID_LocalAppData);
#else
    return {};
#endif
}
