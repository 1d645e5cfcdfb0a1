// The private temporary folder: made safe, or refused; files written and read without following links.
#include "platform/TempFolder.h"
#include "TestPack.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

mode_t modeOf(const std::string& path)
{
    struct stat info
    {
    };
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

using TempFolderTest = PrivateTmpdirTest;

TEST_F(TempFolderTest, createsAPrivateFolderBelowTmpdirEvenUnderAStrictUmask)
{
    const mode_t saved = ::umask(0277);
    const std::string path = TempFolder::Path();
    ::umask(saved);
    EXPECT_EQ(path, privateFolder + "/");
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(privateFolder)));
    EXPECT_EQ(modeOf(privateFolder), 0700u);
    // Asking again reuses it.
    EXPECT_EQ(TempFolder::Path(), path);
}

TEST_F(TempFolderTest, refusesAnUnsafeExistingFolder)
{
    const struct
    {
        const char* name;
        std::function<void(const std::string& folder, const std::string& tmpdir)> plant;
    } cases[] = {
        { "symbolic link to a private folder",
            [](const std::string& folder, const std::string& tmpdir) {
                fs::create_directory(tmpdir + "/real");
                fs::permissions(tmpdir + "/real", fs::perms::owner_all);
                fs::create_directory_symlink(tmpdir + "/real", folder);
            } },
        { "mode 0755",
            [](const std::string& folder, const std::string&) {
                fs::create_directory(folder);
                fs::permissions(folder,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
                        | fs::perms::others_exec);
            } },
        { "mode 0701",
            [](const std::string& folder, const std::string&) {
                fs::create_directory(folder);
                fs::permissions(folder, fs::perms::owner_all | fs::perms::others_exec);
            } },
        { "regular file", [](const std::string& folder, const std::string&) { std::ofstream(folder) << "x"; } },
        { "dangling symbolic link",
            [](const std::string& folder, const std::string& tmpdir) {
                fs::create_directory_symlink(tmpdir + "/nowhere", folder);
            } },
    };
    for (const auto& c : cases) {
        fs::remove_all(privateFolder);
        c.plant(privateFolder, tmpdir);
        EXPECT_EQ(TempFolder::Path(), "") << c.name;
        EXPECT_FALSE(fs::exists(tmpdir + "/nowhere")) << c.name;
    }
}

TEST_F(TempFolderTest, refusesAFolderOwnedBySomeoneElse)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give the folder away";
    }
    // The folder carries our name but belongs to another user.
    fs::create_directory(privateFolder);
    fs::permissions(privateFolder, fs::perms::owner_all);
    ASSERT_EQ(::chown(privateFolder.c_str(), 65534, 65534), 0);
    EXPECT_EQ(TempFolder::Path(), "");
}

TEST_F(TempFolderTest, writeReplacesWholeFilesAndNeverFollowsALink)
{
    const std::string folder = TempFolder::Path();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "English.ini";

    ASSERT_TRUE(TempFolder::WriteFile(path, std::string(1000, 'a')));
    ASSERT_TRUE(TempFolder::WriteFile(path, "short"));
    EXPECT_EQ(readFile(path), "short");
    EXPECT_EQ(modeOf(path), 0600u);

    // A link planted at the pack's place: replaced by the file, its target untouched.
    const std::string target = tmpdir + "/target";
    std::ofstream(target) << "keep";
    fs::remove(path);
    fs::create_symlink(target, path);
    ASSERT_TRUE(TempFolder::WriteFile(path, "pack"));
    EXPECT_EQ(readFile(target), "keep");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(path)));
    EXPECT_EQ(readFile(path), "pack");

    // A FIFO is replaced too, without waiting for a reader.
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    ASSERT_TRUE(TempFolder::WriteFile(path, "pack"));
    EXPECT_EQ(readFile(path), "pack");

    // A folder in the way fails, and no temporary file is left beside it.
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(TempFolder::WriteFile(path, "pack"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(TempFolderTest, readTakesOnlyRegularFilesWithinTheLimit)
{
    const std::string folder = TempFolder::Path();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "pack.ini";
    ASSERT_TRUE(TempFolder::WriteFile(path, "12345"));

    EXPECT_EQ(TempFolder::ReadFile(path, 5), "12345");
    EXPECT_EQ(TempFolder::ReadFile(path, 4), std::nullopt);
    EXPECT_EQ(TempFolder::ReadFile(folder + "missing.ini", 100), std::nullopt);
    EXPECT_EQ(TempFolder::ReadFile(folder, 100), std::nullopt);

    fs::create_symlink(path, folder + "link.ini");
    EXPECT_EQ(TempFolder::ReadFile(folder + "link.ini", 100), std::nullopt);

    ASSERT_EQ(::mkfifo((folder + "fifo.ini").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(TempFolder::ReadFile(folder + "fifo.ini", 100), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

} // namespace
