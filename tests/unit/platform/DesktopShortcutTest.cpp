// The desktop entry and the icon it names: the entry's Icon is where the installer wrote the icon, whatever
// the environment says, and the entry opens an address xdg-open takes for a web address.
#include "platform/DesktopShortcut.h"
#include "platform/ProgramIcon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value of key in an entry's text, or nothing when the key is absent.
std::optional<std::string> entryValue(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

// Runs each case in a scratch folder (also the working folder, so relative paths land inside it) with the
// environment variables the case sets and the others unset; restores both afterwards.
class DesktopShortcut : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        char pattern[] = "/tmp/hxt-shortcut.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        previousFolder = fs::current_path();
    }

    void TearDown() override
    {
        fs::current_path(previousFolder);
        for (const auto& [name, value] : saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        std::error_code error;
        fs::remove_all(root, error);
    }

    // Starts a case: a fresh working folder and the environment given ("@" stands for that folder).
    void enter(const std::string& caseName, const std::vector<std::pair<std::string, std::string>>& environment)
    {
        folder = root / caseName;
        fs::create_directories(folder / "config");
        fs::current_path(folder);
        for (const char* name : kNames) {
            ::unsetenv(name);
        }
        for (auto [name, value] : environment) {
            if (const size_t at = value.find('@'); at != std::string::npos) {
                value.replace(at, 1, folder.string());
            }
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }

    static constexpr const char* kNames[] = { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME" };
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    fs::path root;
    fs::path folder;
    fs::path previousFolder;
};

TEST_F(DesktopShortcut, entryNamesTheIconWhereTheInstallerWroteIt)
{
    const struct
    {
        const char* name;
        std::vector<std::pair<std::string, std::string>> environment;
        const char* icon; // where the icon lands, relative to the case's folder; empty: nowhere
        const char* desktop; // where the entry lands; empty: no entry
    } cases[] = {
        { "data-home", { { "HOME", "@/home" }, { "XDG_DATA_HOME", "@/data" } }, "data/icons/HXT-914Q.ico",
            "home/Desktop" },
        { "relative-data-home", { { "HOME", "@/home" }, { "XDG_DATA_HOME", "rel/data" } },
            "home/.local/share/icons/HXT-914Q.ico", "home/Desktop" },
        { "home-only", { { "HOME", "@/home" } }, "home/.local/share/icons/HXT-914Q.ico", "home/Desktop" },
        { "no-home-with-data-home", { { "XDG_DATA_HOME", "@/data" }, { "XDG_CONFIG_HOME", "@/config" } },
            "data/icons/HXT-914Q.ico", "desk" },
        { "no-home", { { "XDG_CONFIG_HOME", "@/config" } }, "", "desk" },
        { "relative-home", { { "HOME", "home" } }, "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        enter(c.name, c.environment);
        std::ofstream(folder / "config" / "user-dirs.dirs")
            << "XDG_DESKTOP_DIR=\"" << (folder / "desk").string() << "\"\n";
        const std::string bytes = std::string("icon bytes of ") + c.name;
        const bool installed = InstallProgramIcon(bytes);
        const std::string entry = MakeDesktopShortcut("0", "", "", "http://10.77.0.10");

        const std::string expectedIcon = *c.icon != '\0' ? (folder / c.icon).string() : std::string();
        EXPECT_EQ(installed, !expectedIcon.empty());
        EXPECT_EQ(InstalledIconPath(), expectedIcon);
        if (!expectedIcon.empty()) {
            EXPECT_EQ(readFile(expectedIcon), bytes);
        }
        if (*c.desktop == '\0') {
            EXPECT_EQ(entry, "");
            std::vector<std::string> written;
            for (const auto& item : fs::directory_iterator(folder)) {
                written.push_back(item.path().filename().string());
            }
            EXPECT_EQ(written, std::vector<std::string> { "config" }) << "written below the working folder";
            continue;
        }
        ASSERT_EQ(entry, (folder / c.desktop / "HXT-914Q.desktop").string());
        const std::optional<std::string> icon = entryValue(readFile(entry), "Icon");
        if (expectedIcon.empty()) {
            EXPECT_EQ(icon, std::nullopt) << "the entry names an icon nobody wrote";
        } else {
            EXPECT_EQ(icon, expectedIcon);
        }
    }
}

// The argument text stays as given; the address the entry opens always carries a web scheme.
TEST(DesktopEntryAddress, bareAddressesGetASchemeArgumentsKeepTheirs)
{
    const struct
    {
        ShortcutForm form;
        const char* number;
        const char* portal;
        const char* local;
        const char* argument;
        const char* opens;
    } cases[] = {
        { ShortcutForm::Portal, "N1", "p.example.com", "", "\"https://p.example.com/device#N1?lang=en\"",
            "https://p.example.com/device#N1?lang=en" },
        { ShortcutForm::Portal, "", "p.example.com", "", "p.example.com", "https://p.example.com" },
        { ShortcutForm::Portal, "", "p.example.com:8443/x", "", "p.example.com:8443/x",
            "https://p.example.com:8443/x" },
        { ShortcutForm::Portal, "", "https://p.example.com", "", "https://p.example.com", "https://p.example.com" },
        { ShortcutForm::Portal, "", "", "", kMakerSite, kMakerSite },
        { ShortcutForm::Local, "", "", "http://10.77.0.10:8080/", "\"http://10.77.0.10:8080/\"",
            "http://10.77.0.10:8080/" },
        { ShortcutForm::Local, "", "", "10.77.0.10", "\"10.77.0.10\"", "http://10.77.0.10" },
        { ShortcutForm::Local, "", "", "", kMakerSite, kMakerSite },
        // The recorder names the address: a scheme other than http or https never reaches xdg-open.
        { ShortcutForm::Local, "", "", "file:///etc/shadow", "\"file:///etc/shadow\"", kMakerSite },
        { ShortcutForm::Local, "", "", "HTTPS://10.77.0.10/", "\"HTTPS://10.77.0.10/\"", "HTTPS://10.77.0.10/" },
        { ShortcutForm::Local, "", "", "smb://10.77.0.10/share", "\"smb://10.77.0.10/share\"", kMakerSite },
        { ShortcutForm::Portal, "", "file:///etc/shadow", "", "file:///etc/shadow", kMakerSite },
        { ShortcutForm::Portal, "", "javascript://x", "", "javascript://x", kMakerSite },
        { ShortcutForm::Local, "", "", "file:/etc/shadow", "\"file:/etc/shadow\"", "http://file:/etc/shadow" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.portal) + c.local);
        const std::string argument = ShortcutArgument(c.form, c.number, c.portal, c.local);
        EXPECT_EQ(argument, c.argument);
        EXPECT_EQ(EntryAddress(c.form, argument), c.opens);
    }
}

} // namespace
