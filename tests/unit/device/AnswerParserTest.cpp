#include "device/AnswerParser.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(AnswerParser, splitsAtTheSeparatorWithoutTrimming)
{
    const struct
    {
        const char* text;
        const char* separator;
        bool pairs;
        int count;
        std::vector<std::string> values;
    } cases[] = {
        { "a=1\r\nb=x=y\r\nno equals\r\n", "\r\n", true, 2, { "1", "x=y" } },
        { "=lost\r\nk= v \r\n", "\r\n", true, 2, { "lost", " v " } },
        { "one\r\ntwo\r\n\r\nthree", "\r\n", false, 3, { "one", "two", "three" } },
        { "a=1; quelmo=xyz; Path=/", "; ", true, 3, { "1", "xyz", "/" } },
        { "a=1\r\nb=2", "", true, 1, { "1\r\nb=2" } },
        { "\r\n\r\n", "\r\n", false, 0, {} },
        { "", "\r\n", true, -1, {} },
        { "", "\r\n", false, -1, {} },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        AnswerParser parser { std::string(entry.text) };
        EXPECT_EQ(entry.pairs ? parser.SplitPairs(entry.separator) : parser.SplitList(entry.separator), entry.count);
        ASSERT_EQ(parser.Count(), int(entry.values.size()));
        for (size_t i = 0; i < entry.values.size(); ++i) {
            EXPECT_EQ(parser.Item(int(i)), entry.values[i]);
        }
    }
}

TEST(AnswerParser, lookupIsExactAndFirstMatchWins)
{
    AnswerParser parser(std::string("status=37\r\nStatus=9\r\nstatus=1\r\n=empty\r\nline\r\n"));
    ASSERT_EQ(parser.SplitPairs("\r\n"), 4);
    EXPECT_EQ(parser.Value("status"), "37");
    EXPECT_EQ(parser.Value("Status"), "9");
    EXPECT_EQ(parser.Value("absent"), "");
    EXPECT_EQ(parser.Value(""), "") << "an empty key never matches";
    EXPECT_EQ(parser.Item(-1), "");
    EXPECT_EQ(parser.Item(4), "");

    // A second split replaces the items.
    EXPECT_EQ(parser.SplitList("\r\n"), 5);
    EXPECT_EQ(parser.Value("status"), "") << "list items carry no key";
}

TEST(AnswerParser, bytesEndAtTheFirstZero)
{
    const char buffer[] = { 'a', '=', '1', '\0', 'b', '=', '2' };
    AnswerParser parser = AnswerParser::FromBytes(buffer, sizeof buffer);
    EXPECT_EQ(parser.Text(), "a=1");
    EXPECT_EQ(AnswerParser::FromBytes(buffer, 2).Text(), "a=");
    EXPECT_EQ(AnswerParser::FromBytes(nullptr, 5).SplitPairs("\r\n"), -1);
}

// A zero byte inside an answer damages one line: a pair holding one is dropped and the pairs after it are read;
// a list keeps the line in its place (a camera's position counts) for the line reader to set aside.
TEST(AnswerParser, aZeroByteSetsAsideItsLineOnly)
{
    AnswerParser pairs(std::string("a=1\r\nb=x\0y\r\nc=3\r\n", 17));
    EXPECT_EQ(pairs.SplitPairs("\r\n"), 2);
    EXPECT_EQ(pairs.Value("a"), "1");
    EXPECT_EQ(pairs.Value("b"), "");
    EXPECT_EQ(pairs.Value("c"), "3");

    AnswerParser list(std::string("one\r\nt\0o\r\nthree\r\n", 17));
    ASSERT_EQ(list.SplitList("\r\n"), 3);
    EXPECT_EQ(list.Item(1), std::string("t\0o", 3));
    EXPECT_EQ(list.Item(2), "three");
}

} // namespace
