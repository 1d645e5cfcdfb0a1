// Choosing a language, installing its pack in the private temporary folder and looking texts up.
#include "i18n/Localization.h"
#include "TestPack.h"
#include "TestProcess.h"
#include "i18n/LanguageTable.h"
#include "i18n/PackReader.h"
#include "i18n/PackResources.h"
#include "platform/TempFolder.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Stands in for a translated pack where the program has none (yet), and carries the odd entries.
const std::string kTestPortuguese = MakePack("[language]\n"
                                             "OK=Confirmar\n"
                                             "_SKIP=IGNORAR\n"
                                             "Summary_04=\"Guarde estas informações\"\n"
                                             "twice={0} e {0}\n"
                                             "chain=<{0}>\n"
                                             "self={0}\n"
                                             "order={3}{2}{1}{0}\n");

class Localization : public PrivateTmpdirTest
{
protected:
    void TearDown() override
    {
        SelectLanguage(0);
        PrivateTmpdirTest::TearDown();
    }
};

TEST_F(Localization, englishPackIsWrittenAndLookedUp)
{
    SelectLanguage(0);
    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(PackFolder(), privateFolder + "/");
    EXPECT_EQ(readFile(privateFolder + "/English.ini"), std::string(PackResources::Find(3153)));

    const struct
    {
        const char* key;
        const char* fallback;
        const char* expected;
    } cases[] = {
        { "SKIP", "SKIP", "Skip" }, // Skip comes first and keys match regardless of case
        { "_SKIP", "SKIP", "SKIP" }, // only the other packs have it
        { "nvrpwd_04 ", "(Must be 6-31 characters, must contain at least 2 letters, case-sensitive, no spaces.)",
            "Must be 6-31 characters, case-sensitive, no spaces." },
        { "E-mail", "Email", "Email" },
        { "Back", "Back", "BACK" },
        { "Confirm New Password", "Confirm Password", "Confirm Password" },
        { "SetupTimeZone_error", "Please choose a tome zone for your NVR.", "Please choose a time zone for your NVR." },
        { "camsearch_09", "The password must be between 6-30 characters",
            "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space)." },
        { "quelmo", "quelmo", "Quelmo" },
        { "no such key", "the fallback", "the fallback" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.key, c.fallback), c.expected) << c.key;
    }
    // The zone list is longer than a lookup returns.
    EXPECT_EQ(Text("SetupTimeZone", "").size(), 4095u); // the zone names are ASCII
}

TEST_F(Localization, portugueseInstallWritesItsFileAndLookupsReadIt)
{
    SelectLanguage(1);
    EXPECT_EQ(LanguageIndex(), 1);
    ASSERT_TRUE(InstallPackData(1, kTestPortuguese));
    EXPECT_EQ(readFile(privateFolder + "/Portuguese.ini"), kTestPortuguese);

    EXPECT_EQ(Text("OK", "OK"), "Confirmar");
    EXPECT_EQ(Text("_SKIP", "SKIP"), "IGNORAR");
    EXPECT_EQ(Text("Summary_04", "x"), "Guarde estas informações");
    EXPECT_EQ(Text("no such key", "the fallback"), "the fallback");
    // Index 0's file is not what index 1 reads.
    EXPECT_FALSE(std::filesystem::exists(privateFolder + "/English.ini"));
}

TEST_F(Localization, builtInPortuguesePackIsUsedWhenPresent)
{
    const std::string_view pack = PackResources::Find(3154);
    if (pack.empty()) {
        GTEST_SKIP() << "no Portuguese pack under resources/lang";
    }
    ASSERT_TRUE(InstallPack(1));
    SelectLanguage(1);
    EXPECT_EQ(readFile(privateFolder + "/Portuguese.ini"), std::string(pack));
    EXPECT_NE(Text("home_02", "<missing>"), "<missing>");
    const std::string summary = Text("Summary_04", "<missing>");
    EXPECT_FALSE(summary.starts_with('"') && summary.ends_with('"')) << summary;
}

// Through the built-in packs: the capitalised skip that only the translations have, a key spelled in
// another case, and keys that some packs lack (the fallback shows) or add.
TEST_F(Localization, builtInTranslationsAnswerTheKeysThatDifferBetweenPacks)
{
    const struct
    {
        int index;
        const char* key;
        const char* fallback;
        bool fromPack; // false: the pack lacks the key
    } cases[] = {
        { 1, "_SKIP", "SKIP", true },
        { 3, "_SKIP", "SKIP", true },
        { 2, "_SKIP", "SKIP", true },
        { 2, "Confirm Password", "Confirm Password", true }, // stored as "confirm password"
        { 2, "Cameras", "Cameras", true },
        { 2, "No device found!", "No device found!", true },
        { 2, "hddformat_15", "Failed to format HDD!", true },
        { 4, "_SKIP", "SKIP", true },
        { 4, "Summary_04", "Please keep this information in a safe place.", false },
        { 5, "_SKIP", "SKIP", true },
        { 5, "Summary_04", "Please keep this information in a safe place.", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(LanguageTable::Entry(c.index).packFile) + " " + c.key);
        ASSERT_FALSE(PackResources::Find(LanguageTable::Entry(c.index).resourceId).empty());
        SelectLanguage(c.index);
        const std::string text = Text(c.key, c.fallback);
        if (c.fromPack) {
            EXPECT_NE(text, c.fallback);
            EXPECT_FALSE(text.empty());
        } else {
            EXPECT_EQ(text, c.fallback);
        }
    }
}

TEST_F(Localization, everyBuiltInPackFillsThePlaceholderOfItsCheckText)
{
    int installed = 0;
    for (int index = 0; index < LanguageTable::kCount; ++index) {
        if (PackResources::Find(LanguageTable::Entry(index).resourceId).empty()) {
            EXPECT_FALSE(InstallPack(index)) << LanguageTable::Entry(index).packFile;
            continue;
        }
        SelectLanguage(index);
        const std::string text = Text("verr_eng_num_char", "<missing>", "FIELD");
        EXPECT_NE(text.find("FIELD"), std::string::npos) << LanguageTable::Entry(index).packFile << ": " << text;
        EXPECT_EQ(text.find("{0}"), std::string::npos) << LanguageTable::Entry(index).packFile;
        ++installed;
    }
    EXPECT_GE(installed, 1);
}

TEST_F(Localization, placeholdersAreReplacedInOrder)
{
    SelectLanguage(1);
    ASSERT_TRUE(InstallPackData(1, kTestPortuguese));
    const struct
    {
        const char* key;
        const char* fallback;
        const char* values[4];
        const char* expected;
    } cases[] = {
        { "twice", "", { "x", "", "", "" }, "x e x" },
        { "twice", "", { "", "y", "", "" }, "{0} e {0}" }, // an empty value leaves its placeholder
        { "chain", "", { "{1}", "y", "", "" }, "<y>" }, // value 0 brings {1}, which value 1 then fills
        { "chain", "", { "{1}", "", "", "" }, "<{1}>" },
        { "self", "", { "{0}{0}", "", "", "" }, "{0}{0}" }, // inserted text is not expanded again
        { "order", "", { "a", "b", "c", "d" }, "dcba" },
        { "no such key", "{0} fell back {1}", { "it", "here", "", "" }, "it fell back here" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.key, c.fallback, c.values[0], c.values[1], c.values[2], c.values[3]), c.expected) << c.key;
    }
}

TEST_F(Localization, missingFileSectionOrKeyGivesTheFallback)
{
    SelectLanguage(0);
    ASSERT_EQ(Text("OK", "fallback"), "OK");

    std::filesystem::remove(privateFolder + "/English.ini");
    EXPECT_EQ(Text("OK", "fallback"), "fallback");

    ASSERT_TRUE(InstallPackData(0, MakePack("[elsewhere]\nOK=Other\n")));
    EXPECT_EQ(Text("OK", "fallback"), "fallback");

    ASSERT_TRUE(InstallPackData(0, MakePack("[language]\nOKAY=Other\n")));
    EXPECT_EQ(Text("OK", "fallback"), "fallback");

    // A symbolic link in the pack's place is not followed.
    const std::string decoy = tmpdir + "/decoy.ini";
    std::ofstream(decoy, std::ios::binary) << MakePack("[language]\nOK=Decoy\n");
    std::filesystem::remove(privateFolder + "/English.ini");
    ASSERT_TRUE(MakeSymbolicLink(decoy, privateFolder + "/English.ini", false));
    EXPECT_EQ(Text("OK", "fallback"), "fallback");
}

TEST_F(Localization, failedInstallKeepsThePreviousPackFolder)
{
    SelectLanguage(0);
    const std::string before = PackFolder();
    ASSERT_FALSE(before.empty());

    // The private folder turned into a symbolic link: nothing may be written through it.
    const std::string elsewhere = tmpdir + "/elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::permissions(elsewhere, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(privateFolder);
    ASSERT_TRUE(MakeSymbolicLink(elsewhere, privateFolder, true));

    EXPECT_FALSE(InstallPack(0));
    EXPECT_FALSE(InstallPackData(0, kTestPortuguese));
    EXPECT_EQ(PackFolder(), before);
    EXPECT_FALSE(std::filesystem::exists(elsewhere + "/English.ini"));
}

TEST_F(Localization, indexGivesCodesNumbersAndPackFile)
{
    const struct
    {
        int index;
        const char* portal;
        int recorder;
    } cases[] = {
        { 0, "en", 4 },
        { 1, "pt", 16 },
        { 2, "ru", 19 },
        { 3, "es", 5 },
        { 4, "zh_TW", 23 },
        { 5, "zh_CN", 22 },
        { 7, "en", 4 },
        { -1, "en", 4 },
        { 6, "en", 4 },
    };
    for (const auto& c : cases) {
        SelectLanguage(c.index);
        EXPECT_EQ(LanguageIndex(), c.index);
        EXPECT_EQ(PortalLanguageCode(), c.portal) << c.index;
        EXPECT_EQ(RecorderLanguageNumber(), c.recorder) << c.index;
    }
    // Outside the table the English pack is installed and read.
    SelectLanguage(7);
    EXPECT_EQ(Text("Back", "fallback"), "BACK");
    EXPECT_TRUE(std::filesystem::exists(privateFolder + "/English.ini"));

    // Four Latin letters, then three Cyrillic ones, as stored.
    EXPECT_STREQ(LanguageTable::Entry(2).label, "Pycc\xD0\xBA\xD0\xB8\xD0\xB9");
    EXPECT_STREQ(LanguageTable::Entry(5).packFile, "SChinese.ini");
}

TEST_F(Localization, lookupsOnAWorkerSeeWholePacksWhileTheLanguageChanges)
{
    // The built-in Portuguese pack, where there is one, is briefly installed too.
    const std::string builtIn = PackReader::Lookup(PackResources::Find(3154), "language", "Back").value_or("BACK");
    const std::string testPack = MakePack("[language]\nBack=VOLTAR\n");
    ASSERT_TRUE(InstallPackData(1, testPack));
    SelectLanguage(0);
    std::atomic<bool> stop { false };
    std::atomic<int> odd { 0 };
    std::thread worker([&] {
        while (!stop.load()) {
            const std::string text = Text("Back", "fallback");
            if (text != "BACK" && text != "VOLTAR" && text != builtIn) {
                odd.fetch_add(1);
            }
        }
    });
    for (int i = 0; i < 200; ++i) {
        if (i % 2 == 0) {
            SelectLanguage(1);
            InstallPackData(1, testPack);
        } else {
            SelectLanguage(0);
        }
    }
    stop.store(true);
    worker.join();
    EXPECT_EQ(odd.load(), 0);
}

} // namespace
