// The language packs under resources/lang: stored form, key set and the zone list.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct PackFile
{
    std::string name;
    std::vector<std::string> lines; // UTF-8, without their CR LF
    std::string problem; // empty when the stored form is right
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

PackFile load(const fs::path& path)
{
    PackFile pack { path.filename().string(), {}, {} };
    std::ifstream in(path, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
        pack.problem = "no UTF-16 LE byte-order mark";
        return pack;
    }
    if (bytes.size() % 2 != 0) {
        pack.problem = "odd number of bytes";
        return pack;
    }
    std::u16string units;
    for (size_t i = 2; i < bytes.size(); i += 2) {
        units += static_cast<char16_t>(
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    size_t pos = 0;
    while (pos < units.size()) {
        const size_t end = units.find_first_of(u"\r\n", pos);
        if (end == std::u16string::npos || units[end] != u'\r' || end + 1 >= units.size() || units[end + 1] != u'\n') {
            pack.problem = "line " + std::to_string(pack.lines.size() + 1) + " not ended by CR LF";
            return pack;
        }
        pack.lines.push_back(Utf16ToUtf8(units.substr(pos, end - pos)));
        pos = end + 2;
    }
    return pack;
}

// Entries of a pack in file order: key (as written, trimmed) and value.
std::vector<std::pair<std::string, std::string>> entries(const PackFile& pack)
{
    std::vector<std::pair<std::string, std::string>> result;
    for (size_t i = 1; i < pack.lines.size(); ++i) {
        const std::string line = trimmed(pack.lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        const size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << pack.name << " line " << i + 1 << ": " << line;
        if (equals != std::string::npos) {
            result.emplace_back(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
        }
    }
    return result;
}

std::vector<PackFile> allPacks()
{
    const char* source = std::getenv("HXT_SOURCE_DIR");
    std::vector<PackFile> packs;
    if (source == nullptr) {
        return packs;
    }
    for (const auto& entry : fs::directory_iterator(fs::path(source) / "resources" / "lang")) {
        if (entry.path().extension() == ".ini") {
            packs.push_back(load(entry.path()));
        }
    }
    std::sort(packs.begin(), packs.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return packs;
}

// What the recorder search and password pages add: the not-found diagnostics, the row notes, the shared address
// error and the strength hint.
constexpr size_t kRecorderPageKeys = 13;
void addRecorderPageKeys(std::vector<std::string>& keys)
{
    for (int i = 8; i <= 16; ++i) {
        keys.push_back("nvrsearch_" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    }
    for (int i = 10; i <= 13; ++i) {
        keys.push_back("nvrpwd_" + std::to_string(i));
    }
}

std::vector<std::string> englishKeys()
{
    std::vector<std::string> keys = { "verr_eng_num_char", "START", "Back", "Next", "Restart", "About",
        "Searching device", "Close", "E-mail", "Password", "New Password", "Confirm New Password", "Confirm Password",
        "Retype Password", "First Name", "Last Name", "Cancel", "_CANCEL", "Skip", "SKIP", "OK", "Apply", "FINISH",
        "IP Address", "Mac Address", "Model Name", "Rescan", "Waiting", "Check Network Failed!", "No device found!",
        "No camera found!", "RESET", "Error", "GO TO NVR", "RETRY", "Admin", "SetupTimeZone_title", "SetupTimeZone_01",
        "SetupTimeZone_error", "SetupTimeZone", "eula_16_1" };
    const std::pair<const char*, int> families[]
        = { { "footer_", 12 }, { "about_", 2 }, { "home_", 7 }, { "intro_", 14 }, { "nvrsearch_", 7 }, { "nvrpwd_", 9 },
              { "hddformat_", 16 }, { "camsearch_", 8 }, { "veskor_", 12 }, { "Summary_", 4 }, { "eula_", 20 } };
    for (const auto& [prefix, count] : families) {
        for (int i = 1; i <= count; ++i) {
            keys.push_back(prefix + std::string(i < 10 ? "0" : "") + std::to_string(i));
        }
    }
    addRecorderPageKeys(keys);
    // Added with the disk page.
    keys.push_back("hddformat_disk_size");
    return keys;
}

TEST(PackFiles, everyPackIsStoredAsUtf16WithCrLfAndOneLanguageSection)
{
    const auto packs = allPacks();
    ASSERT_FALSE(packs.empty()) << "no packs found (HXT_SOURCE_DIR unset?)";
    for (const PackFile& pack : packs) {
        SCOPED_TRACE(pack.name);
        ASSERT_EQ(pack.problem, "");
        ASSERT_FALSE(pack.lines.empty());
        EXPECT_EQ(pack.lines[0], "[language]");
        for (size_t i = 1; i < pack.lines.size(); ++i) {
            EXPECT_NE(trimmed(pack.lines[i]).substr(0, 1), "[") << "second section at line " << i + 1;
        }
    }
}

// Keys every pack carries beyond that set: the frame's menu and about box, and keys the pages look up that the
// set lacks (otherwise their English fallback shows in every language).
std::vector<std::string> addedKeys()
{
    return { "Cameras", "camsearch_09", "quelmo", "wizard_01", "wizard_02", "wizard_03", "wizard_04", "a11y_minimise",
        "a11y_reset_help", "a11y_progress", "a11y_step_of", "a11y_language", "a11y_preview", "a11y_mac_help",
        "report_link", "report_title", "report_recorder", "report_model", "report_address", "report_mac",
        "report_web_port", "report_zone", "report_disks", "report_camera_name", "report_cloud", "report_cloud_number",
        "report_none", "report_date", "report_version", "report_formatted", "report_kept", "report_format_failed",
        "report_save_failed", "report_text_files",
        // The pages' notes and errors that say what to do next, and the portal's known refusals.
        "nvrsearch_note_outside", "nvrsearch_note_repeated", "camsearch_full", "neterr_no_answer", "neterr_refused",
        "neterr_wrong_answer", "camsearch_cloud_skip", "Summary_cloud_skipped", "nvrpwd_switch_login",
        "nvrpwd_switch_create", "portal_signup_001", "portal_signup_002", "portal_signup_003", "portal_signup_004",
        "portal_signup_005", "portal_signup_006", "portal_signup_007", "portal_signin_001", "portal_signin_002",
        "portal_signin_003", "portal_bind_001", "portal_bind_002", "portal_bind_003", "portal_bind_004",
        "portal_bind_005", "portal_bind_006", "neterr_portal_no_answer", "neterr_portal_wrong_answer",
        "neterr_portal_recorder", "preview_connecting", "camsearch_no_answer", "camsearch_unreadable",
        "camsearch_again", "hddformat_unreadable",
        "nvrsearch_cap", "veskor_host_01", "veskor_host_02", "veskor_host_03",
        "veskor_host_04" };
}

TEST(PackFiles, englishHasExactlyTheFixedAndAddedKeysWithSkipBeforeSKIP)
{
    const auto packs = allPacks();
    const auto english
        = std::find_if(packs.begin(), packs.end(), [](const auto& p) { return p.name == "English.ini"; });
    ASSERT_NE(english, packs.end());
    std::vector<std::string> keys;
    for (const auto& [key, value] : entries(*english)) {
        keys.push_back(key);
        EXPECT_FALSE(value.empty()) << key;
    }
    EXPECT_EQ(keys.size(), 153u + kRecorderPageKeys + addedKeys().size());
    auto expected = englishKeys();
    for (const auto& key : addedKeys()) {
        expected.push_back(key);
    }
    std::sort(expected.begin(), expected.end());
    auto actual = keys;
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
    // "Skip" must come first: a lookup of SKIP finds it.
    EXPECT_LT(std::find(keys.begin(), keys.end(), "Skip"), std::find(keys.begin(), keys.end(), "SKIP"));
}

TEST(PackFiles, everyPackUsesKnownKeysOnceWithTheZoneListAndCheckText)
{
    std::set<std::string> known;
    for (const auto& key : englishKeys()) {
        known.insert(lower(key));
    }
    for (const auto& key : addedKeys()) {
        known.insert(lower(key));
    }
    // The key that only the translated packs carry.
    known.insert("_skip");

    const auto packs = allPacks();
    ASSERT_FALSE(packs.empty());
    for (const PackFile& pack : packs) {
        SCOPED_TRACE(pack.name);
        std::map<std::string, int> seen;
        for (const auto& [key, value] : entries(pack)) {
            const std::string folded = lower(key);
            EXPECT_TRUE(known.count(folded)) << "unknown key " << key;
            // English alone has both Skip and SKIP (the second is never reached).
            if (folded != "skip" || pack.name != "English.ini") {
                EXPECT_EQ(++seen[folded], 1) << "key " << key << " appears again";
            }
            if (key == "SetupTimeZone") {
                size_t names = 1;
                for (size_t start = 0, at; (at = value.find(';', start)) != std::string::npos; start = at + 1) {
                    EXPECT_NE(at, start) << "empty zone name";
                    ++names;
                }
                EXPECT_EQ(names, 154u);
            }
            if (key == "verr_eng_num_char") {
                EXPECT_NE(value.find("{0}"), std::string::npos);
            }
        }
        EXPECT_TRUE(seen.count("setuptimezone")) << "no SetupTimeZone";
    }
}

const PackFile* findPack(const std::vector<PackFile>& packs, const std::string& name)
{
    const auto it = std::find_if(packs.begin(), packs.end(), [&](const auto& p) { return p.name == name; });
    return it == packs.end() ? nullptr : &*it;
}

// The translated packs carry the English keys (compared regardless of case) less and plus these; a
// key lost from a pack would show English text in its place.
TEST(PackFiles, translatedPacksHaveTheEnglishKeysWithTheirKnownDifferences)
{
    const struct
    {
        const char* pack;
        std::vector<std::string> lacks;
        std::vector<std::string> adds;
    } cases[] = {
        { "Portuguese.ini", { "SKIP" }, { "_SKIP" } },
        { "Spanish.ini", { "SKIP" }, { "_SKIP" } },
        { "Russian.ini", { "SKIP" }, { "_SKIP" } },
        { "TChinese.ini", { "SKIP", "Summary_04" }, { "_SKIP" } },
        { "SChinese.ini", { "SKIP" }, { "_SKIP" } },
    };
    const auto packs = allPacks();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pack);
        const PackFile* pack = findPack(packs, c.pack);
        ASSERT_NE(pack, nullptr) << "pack missing";
        std::vector<std::string> expected;
        for (const auto& key : englishKeys()) {
            if (std::find(c.lacks.begin(), c.lacks.end(), key) == c.lacks.end()) {
                expected.push_back(lower(key));
            }
        }
        for (const auto& key : c.adds) {
            expected.push_back(lower(key));
        }
        for (const auto& key : addedKeys()) {
            expected.push_back(lower(key));
        }
        std::vector<std::string> actual;
        for (const auto& [key, value] : entries(*pack)) {
            actual.push_back(lower(key));
            EXPECT_FALSE(value.empty()) << key;
        }
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        std::vector<std::string> missing;
        std::vector<std::string> extra;
        std::set_difference(
            expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
        std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
        EXPECT_EQ(missing, std::vector<std::string>());
        EXPECT_EQ(extra, std::vector<std::string>());
    }
}

// Placeholders, emphasis markup and the tokens the pages replace must survive translation.
TEST(PackFiles, everyTextKeepsThePlaceholdersMarkupAndTokensOfItsEnglishText)
{
    const char* const tokens[] = { "{0}", "{1}", "{2}", "{3}", "<br>", "</br>", "[Model Name]", "[Camera Name]" };
    const auto counts = [&](const std::string& text) {
        std::map<std::string, int> found;
        for (const char* token : tokens) {
            for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + 1)) {
                ++found[token];
            }
        }
        return found;
    };
    const auto packs = allPacks();
    const PackFile* english = findPack(packs, "English.ini");
    ASSERT_NE(english, nullptr);
    std::map<std::string, std::string> englishTexts;
    for (const auto& [key, value] : entries(*english)) {
        englishTexts.emplace(lower(key), value); // the first entry wins, as in a lookup
    }
    for (const PackFile& pack : packs) {
        SCOPED_TRACE(pack.name);
        for (const auto& [key, value] : entries(pack)) {
            const auto source = englishTexts.find(lower(key));
            if (source != englishTexts.end()) {
                EXPECT_EQ(counts(value), counts(source->second)) << key << ": " << value;
            }
        }
    }
}

} // namespace
