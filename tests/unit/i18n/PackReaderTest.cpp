// The lookup rules of the pack reader, on packs written in the test.
#include "i18n/PackReader.h"
#include "TestPack.h"

#include <optional>
#include <string>

namespace {

const std::string kPack = MakePack("; key=comment before the section\n"
                                   "orphan=outside any section\n"
                                   "[language]\n"
                                   "Skip=Skip\n"
                                   "SKIP=SKIP\n"
                                   "nvrpwd_04 = Must be 6-31 characters, case-sensitive, no spaces.  \n"
                                   "Confirm password=Confirm Password\n"
                                   "Summary_04=\"Guarde estas informações\"\n"
                                   "single='quoted'\n"
                                   "mixed=\"not closed'\n"
                                   "lone=\"\n"
                                   "inner=say \"hi\" now\n"
                                   "empty=\n"
                                   "twice=first\n"
                                   "TWICE=second\n"
                                   "\t indented key \t=\t tabbed value \t\n"
                                   "\n"
                                   "   ;commented=no\n"
                                   "novalue\n"
                                   "equals=a=b\n"
                                   "Имя=Значение\n"
                                   "[other]\n"
                                   "only_other=x\n");

struct LookupCase
{
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class PackReaderLookup : public ::testing::TestWithParam<LookupCase>
{
};

TEST_P(PackReaderLookup, findsValueByTheProfileRules)
{
    const LookupCase& c = GetParam();
    EXPECT_EQ(PackReader::Lookup(kPack, c.section, c.key), c.expected) << "key [" << c.key << "]";
}

INSTANTIATE_TEST_SUITE_P(Rules, PackReaderLookup,
    ::testing::Values(
        // Case-blind keys: the first of Skip and SKIP wins either way.
        LookupCase { "language", "SKIP", "Skip" }, LookupCase { "language", "skip", "Skip" },
        LookupCase { "LANGUAGE", "Skip", "Skip" }, LookupCase { "language", "Confirm Password", "Confirm Password" },
        LookupCase { "language", "twice", "first" }, LookupCase { "language", "имя", "Значение" },
        // Blanks around the requested key and around names and values.
        LookupCase { "language", "nvrpwd_04 ", "Must be 6-31 characters, case-sensitive, no spaces." },
        LookupCase { "language", " NVRPWD_04", "Must be 6-31 characters, case-sensitive, no spaces." },
        LookupCase { "language", "indented key", "tabbed value" },
        // Quotation marks go only when they enclose the whole value.
        LookupCase { "language", "Summary_04", "Guarde estas informações" },
        LookupCase { "language", "single", "quoted" }, LookupCase { "language", "mixed", "\"not closed'" },
        LookupCase { "language", "lone", "\"" }, LookupCase { "language", "inner", "say \"hi\" now" },
        // Present but empty is a value, not a miss.
        LookupCase { "language", "empty", "" }, LookupCase { "language", "equals", "a=b" },
        // Misses: comments, lines without "=", other sections, unknown keys.
        LookupCase { "language", "commented", std::nullopt }, LookupCase { "language", "key", std::nullopt },
        LookupCase { "language", "novalue", std::nullopt }, LookupCase { "language", "orphan", std::nullopt },
        LookupCase { "language", "only_other", std::nullopt }, LookupCase { "language", "missing", std::nullopt },
        LookupCase { "language", "", std::nullopt }, LookupCase { "language", "  ", std::nullopt },
        LookupCase { "missing", "Skip", std::nullopt }, LookupCase { "other", "only_other", "x" }));

TEST(PackReader, readsEveryEncodingAndLineEnd)
{
    const std::string text = "[language]\r\nOK=Хорошо 好\r\n";
    std::string be = "\xFE\xFF";
    const std::string le = MakePack("[language]\nOK=Хорошо 好\n");
    for (size_t i = 2; i + 1 < le.size(); i += 2) {
        be += le[i + 1];
        be += le[i];
    }
    const struct
    {
        const char* name;
        std::string bytes;
    } packs[] = {
        { "UTF-16 LE", le },
        { "UTF-16 BE", be },
        { "UTF-8 with mark", "\xEF\xBB\xBF" + text },
        { "UTF-8", text },
        { "LF only", "[language]\nOK=Хорошо 好\n" },
        { "CR only", "[language]\rOK=Хорошо 好\r" },
        { "no final line end", "[language]\nOK=Хорошо 好" },
        { "odd last byte", le + "\x41" },
    };
    for (const auto& pack : packs) {
        EXPECT_EQ(PackReader::Lookup(pack.bytes, "language", "OK"), "Хорошо 好") << pack.name;
    }
}

TEST(PackReader, cutsValuesAt4095UnitsWithoutSplittingAPair)
{
    const std::string longValue(5000, 'x');
    EXPECT_EQ(
        PackReader::Lookup(MakePack("[language]\nk=" + longValue + "\n"), "language", "k"), std::string(4095, 'x'));

    // Quotes are removed before the bound applies.
    const std::string quoted = "\"" + std::string(4095, 'q') + "\"";
    EXPECT_EQ(PackReader::Lookup(MakePack("[language]\nk=" + quoted + "\n"), "language", "k"), std::string(4095, 'q'));

    // U+1F600 needs two UTF-16 units; placed at units 4095 and 4096 it is dropped whole.
    const std::string straddling = std::string(4094, 'y') + "\xF0\x9F\x98\x80" + "tail";
    EXPECT_EQ(
        PackReader::Lookup(MakePack("[language]\nk=" + straddling + "\n"), "language", "k"), std::string(4094, 'y'));
}

TEST(PackReader, emptyOrForeignBytesFindNothing)
{
    EXPECT_EQ(PackReader::Lookup("", "language", "OK"), std::nullopt);
    EXPECT_EQ(PackReader::Lookup("\xFF\xFE", "language", "OK"), std::nullopt);
    EXPECT_EQ(PackReader::Lookup(std::string("\x00\x01\x02[language]", 13), "language", "OK"), std::nullopt);
}

} // namespace
