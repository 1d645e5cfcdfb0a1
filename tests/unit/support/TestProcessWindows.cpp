#include "TestProcess.h"

#include "platform/FilePaths.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

std::string RunInOwnNetns(const std::vector<std::string>&, const std::function<std::string()>&)
{
    return "skip: network namespaces are a Linux facility (the Windows build runs inside the namespace of its caller)";
}

size_t OpenHandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

void SetEnvironment(const std::string& name, const std::string* value)
{
    // _putenv_s changes the C runtime's copy, the one getenv reads.
    _putenv_s(name.c_str(), value != nullptr ? value->c_str() : "");
}

std::string MakeTemporaryFolder(const std::string& prefix)
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder = base
            / (prefix + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-"
                + std::to_string(attempt));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) {
            const std::u8string text = folder.generic_u8string();
            return std::string(text.begin(), text.end());
        }
    }
    return {};
}

bool MakeSymbolicLink(const std::string& target, const std::string& link, bool folder)
{
    const DWORD kind = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    return CreateSymbolicLinkW(NativePath(link).c_str(), NativePath(target).c_str(), kind);
}
