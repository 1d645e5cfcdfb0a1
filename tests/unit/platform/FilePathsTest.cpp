// Paths as both systems read them: which are absolute, where the file name starts, and UTF-8 names reaching the
// file system unchanged.
#include "platform/FilePaths.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(FilePaths, absolutePathsAndFileNamesFollowTheSystemsRules)
{
    const bool windows = IsPathSeparator('\\');
    const struct
    {
        const char* path;
        bool absoluteOnLinux;
        bool absoluteOnWindows;
        size_t nameStart;
        size_t nameStartOnWindows;
    } cases[] = {
        { "/home/user/plan.toml", true, false, 11, 11 },
        { "C:\\Users\\plan.toml", false, true, 0, 9 },
        { "c:/Users/plan.toml", false, true, 9, 9 },
        { "\\\\server\\share\\report.txt", false, true, 0, 15 },
        { "//server/share/report.txt", true, true, 15, 15 },
        { "C:plan.toml", false, false, 0, 2 }, // relative to drive C's current folder
        { "\\plan.toml", false, false, 0, 1 }, // relative to the current drive
        { "plan.toml", false, false, 0, 0 },
        { "", false, false, 0, 0 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAbsolutePath(c.path), windows ? c.absoluteOnWindows : c.absoluteOnLinux) << c.path;
        EXPECT_EQ(FileNameStart(c.path), windows ? c.nameStartOnWindows : c.nameStart) << c.path;
    }
}

TEST(FilePaths, aFileWithANameOutsideAsciiIsWrittenAndFoundUnderThatName)
{
    const std::string folder = MakeTemporaryFolder("hxt-paths-test");
    ASSERT_FALSE(folder.empty());
    const std::string name = "Отчёт 报告 ü.txt";
    const std::string path = folder + "/" + name;
    std::FILE* file = OpenFile(path, "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("ok", file);
    std::fclose(file);

    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder))) {
        const std::u8string listed = entry.path().filename().u8string();
        found = found || std::string(listed.begin(), listed.end()) == name;
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(std::filesystem::is_regular_file(NativePath(path)));
    std::filesystem::remove_all(NativePath(folder));
}
