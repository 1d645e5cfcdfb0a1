#include "platform/FilePaths.h"

#include "platform/CodePage.h"

bool IsPathSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

bool IsAbsolutePath(std::string_view path)
{
#ifdef _WIN32
    const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))
        && path[1] == ':' && IsPathSeparator(path[2]);
    // A share: two separators, then a server name.
    const bool share = path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])
        && !IsPathSeparator(path[2]);
    return drive || share;
#else
    return !path.empty() && path.front() == '/';
#endif
}

size_t FileNameStart(std::string_view path)
{
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) {
            return i;
        }
    }
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') {
        return 2; // "X:name"
    }
#endif
    return 0;
}

std::filesystem::path NativePath(const std::string& utf8Path)
{
#ifdef _WIN32
    const std::u16string wide = Utf8ToUtf16(utf8Path);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
    return std::filesystem::path(utf8Path);
#endif
}

std::FILE* OpenFile(const std::string& utf8Path, const char* mode)
{
#ifdef _WIN32
    const std::u16string wide = Utf8ToUtf16(utf8Path);
    const std::u16string wideMode = Utf8ToUtf16(mode);
    return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), reinterpret_cast<const wchar_t*>(wideMode.c_str()));
#else
    return std::fopen(utf8Path.c_str(), mode);
#endif
}
