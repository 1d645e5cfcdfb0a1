// The desktop shortcut on Windows: a shell link on the Desktop known folder (redirected to the test's own folder),
// named and addressed as the Linux desktop entry, with the icon from the local application-data folder. The link
// is read back through the shell to find what it opens.
#include "platform/DesktopShortcut.h"
#include "platform/FilePaths.h"
#include "platform/ProgramIcon.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>
#include <algorithm>

namespace {

struct LinkContents
{
    std::wstring program;
    std::wstring arguments;
    std::wstring icon;
};

std::wstring wide(const std::string& text)
{
    return NativePath(text).wstring();
}

// What the link at path starts, with which arguments and icon; nothing when the shell cannot read it.
std::optional<LinkContents> readShellLink(const std::string& path)
{
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<LinkContents> result;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(
            CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(wide(path).c_str(), STGM_READ))) {
                wchar_t text[2048] = {};
                LinkContents read;
                if (SUCCEEDED(link->GetPath(text, 2048, nullptr, SLGP_RAWPATH)))
                    read.program = text;
                if (SUCCEEDED(link->GetArguments(text, 2048)))
                    read.arguments = text;
                int index = 0;
                if (SUCCEEDED(link->GetIconLocation(text, 2048, &index)))
                    read.icon = text;
                result = read;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(joined))
        CoUninitialize();
    return result;
}

class WindowsShortcut : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = MakeTemporaryFolder("hxt-shortcut-test");
        ASSERT_FALSE(folder.empty());
        const std::string desktop = folder + "\\Desktop";
        const std::string data = folder + "\\AppData\\Local";
        SetEnvironment("HXT_DESKTOP_FOLDER", &desktop);
        SetEnvironment("HXT_LOCAL_APPDATA_FOLDER", &data);
    }
    void TearDown() override
    {
        SetEnvironment("HXT_DESKTOP_FOLDER", nullptr);
        SetEnvironment("HXT_LOCAL_APPDATA_FOLDER", nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(NativePath(folder), ignored);
    }
    std::string folder;
};

} // namespace

TEST_F(WindowsShortcut, linkOnTheDesktopOpensTheAddressWithTheInstalledIcon)
{
    ASSERT_TRUE(InstallProgramIcon("icon bytes"));
    EXPECT_EQ(InstalledIconPath(), folder + "\\AppData\\Local\\HXT-914Q\\icons\\HXT-914Q.ico");
    const struct
    {
        const char* access;
        const char* number;
        const char* portal;
        const char* local;
        const char* fileName;
        const wchar_t* arguments;
    } cases[] = {
        { "1", "N1/2:3", "portal.example", "", "HXT-914Q(N1_2_3).lnk", L"\"https://portal.example/device#N1/2:3?lang=en\"" },
        { "0", "", "", "10.77.0.10", "HXT-914Q.lnk", L"\"http://10.77.0.10\"" },
        { "0", "", "", "http://a.example/x?q=\"1\"", "HXT-914Q.lnk", L"\"http://a.example/x?q=%221%22\"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::string written = MakeDesktopShortcut(c.access, c.number, c.portal, c.local);
        EXPECT_EQ(written, folder + "\\Desktop\\" + c.fileName);
        const std::optional<LinkContents> link = readShellLink(written);
        ASSERT_TRUE(link.has_value());
        EXPECT_EQ(link->arguments, c.arguments);
        EXPECT_TRUE(link->program.ends_with(L"\\explorer.exe")) << NativePath(written).string();
        EXPECT_EQ(link->icon, wide(InstalledIconPath()));
    }
    // Writing the same name again replaces the link and leaves nothing else behind.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder + "\\Desktop")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "HXT-914Q(N1_2_3).lnk", "HXT-914Q.lnk" }));
}
