#include "TestPack.h"

#include "platform/CodePage.h"
#include "platform/TempFolder.h"
#include "TestProcess.h"

#include <cstdlib>
#include <filesystem>

std::string MakePack(std::string_view text)
{
    std::string crlf;
    for (char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : Utf8ToUtf16(crlf)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

void PrivateTmpdirTest::SetUp()
{
    if (const char* old = std::getenv(TempFolder::SystemFolderVariable())) {
        hadTmpdir = true;
        savedTmpdir = old;
    }
    tmpdir = MakeTemporaryFolder("hxt-i18n-test");
    ASSERT_FALSE(tmpdir.empty());
    privateFolder = tmpdir + "/" + TempFolder::FolderName();
    SetEnvironment(TempFolder::SystemFolderVariable(), &tmpdir);
}

void PrivateTmpdirTest::TearDown()
{
    SetEnvironment(TempFolder::SystemFolderVariable(), hadTmpdir ? &savedTmpdir : nullptr);
    std::error_code ignored;
    std::filesystem::permissions(tmpdir, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(tmpdir, ignored);
}
