#include "TestPack.h"

#include "platform/CodePage.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

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
    if (const char* old = std::getenv("TMPDIR")) {
        hadTmpdir = true;
        savedTmpdir = old;
    }
    std::string pattern = std::filesystem::temp_directory_path().string() + "/hxt-i18n-test.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    tmpdir = pattern;
    privateFolder = tmpdir + "/hxt-914q-" + std::to_string(::geteuid());
    ::setenv("TMPDIR", tmpdir.c_str(), 1);
}

void PrivateTmpdirTest::TearDown()
{
    if (hadTmpdir) {
        ::setenv("TMPDIR", savedTmpdir.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    std::error_code ignored;
    std::filesystem::permissions(tmpdir, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(tmpdir, ignored);
}
