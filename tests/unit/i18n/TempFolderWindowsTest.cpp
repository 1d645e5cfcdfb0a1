// The private temporary folder on Windows: made for the user alone, refused when a link stands in its place; files
// replaced in one step and never read through a link.
#include "platform/FilePaths.h"
#include "platform/TempFolder.h"
#include "TestPack.h"
#include "TestProcess.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

using TempFolderTest = PrivateTmpdirTest;

TEST_F(TempFolderTest, createsAFolderOfTheUsersOwnBelowTmpAndReusesIt)
{
    const std::string path = TempFolder::Path();
    EXPECT_EQ(path, privateFolder + "/");
    EXPECT_TRUE(fs::is_directory(NativePath(privateFolder)));
    EXPECT_EQ(TempFolder::Path(), path);
}

TEST_F(TempFolderTest, refusesALinkInThePlaceOfTheFolder)
{
    fs::create_directory(NativePath(tmpdir + "/elsewhere"));
    ASSERT_TRUE(MakeSymbolicLink(tmpdir + "/elsewhere", privateFolder, true));
    EXPECT_EQ(TempFolder::Path(), "");
}

TEST_F(TempFolderTest, writeReplacesTheFileWholeAndReadRefusesFoldersAndLinks)
{
    const std::string folder = TempFolder::Path();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "English.ini";
    ASSERT_TRUE(TempFolder::WriteFile(path, "first"));
    ASSERT_TRUE(TempFolder::WriteFile(path, "second, longer"));
    EXPECT_EQ(TempFolder::ReadFile(path, 100), std::optional<std::string>("second, longer"));
    EXPECT_EQ(TempFolder::ReadFile(path, 5), std::nullopt) << "larger than the limit";
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(NativePath(folder)))
        entries += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 1u) << "no temporary file left behind";

    fs::create_directory(NativePath(folder + "sub"));
    EXPECT_FALSE(TempFolder::WriteFile(folder + "sub", "x"));
    EXPECT_EQ(TempFolder::ReadFile(folder + "sub", 100), std::nullopt);

    ASSERT_TRUE(MakeSymbolicLink(path, folder + "link.ini", false));
    EXPECT_EQ(TempFolder::ReadFile(folder + "link.ini", 100), std::nullopt);
    ASSERT_TRUE(TempFolder::WriteFile(folder + "link.ini", "own"));
    EXPECT_EQ(TempFolder::ReadFile(path, 100), std::optional<std::string>("second, longer")) << "link not followed";
}

} // namespace
