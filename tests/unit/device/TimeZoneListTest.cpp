#include "device/TimeZoneList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Parse(const std::string& answer)
{
    return TimeZoneList::Parse(answer.data(), answer.size());
}

TEST(TimeZoneList, namesFollowTheThirteenCharacterPrefix)
{
    const struct
    {
        const char* name;
        std::string answer;
        std::vector<std::string> names;
    } cases[] = {
        { "plain", "timezonelist=(GMT-12:00) West;(GMT) UTC;(GMT+01:00) Paris",
            { "(GMT-12:00) West", "(GMT) UTC", "(GMT+01:00) Paris" } },
        { "empty pieces", "timezonelist=;A;;B;;;", { "A", "B" } },
        { "CR LF around names", "timezonelist=A\r\n;\r\nB\r\n;\r\n;C\r\n", { "A", "B", "C" } },
        { "inner CR stays", "timezonelist=A\rB;C", { "A\rB", "C" } },
        // Characters, not bytes: a Cyrillic prefix of 13 letters is dropped whole.
        { "non-ASCII prefix", "часовойпояса=Москва;Самара", { "Москва", "Самара" } },
        { "markup is text", "timezonelist=<b>Paris</b>;US & Canada", { "<b>Paris</b>", "US & Canada" } },
        { "malformed UTF-8",
            "timezonelist=A\xff"
            "B",
            { "A\xef\xbf\xbd"
              "B" } },
        { "exactly the prefix", "timezonelist=", {} },
        { "shorter than the prefix", "tz=A;B", {} },
        { "empty", "", {} },
        // A zero byte damages its own name only; the name keeps its place, so the zones after it keep their numbers.
        { "a zero byte inside a name", std::string("timezonelist=A;B\0x;C", 20), { "A", "B\xef\xbf\xbdx", "C" } },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(Parse(entry.answer), entry.names);
    }
}

TEST(TimeZoneList, keepsTheFirst200NamesAndBoundsEachName)
{
    std::string answer = "timezonelist=";
    for (int i = 1; i <= 230; ++i)
        answer += "Zone " + std::to_string(i) + ";";
    const std::vector<std::string> names = Parse(answer);
    ASSERT_EQ(names.size(), TimeZoneList::kMaxZones);
    EXPECT_EQ(names.front(), "Zone 1");
    EXPECT_EQ(names.back(), "Zone 200");

    const std::vector<std::string> longName = Parse("timezonelist=" + std::string(5000, 'x') + ";B");
    ASSERT_EQ(longName.size(), 2u);
    EXPECT_EQ(longName[0].size(), TimeZoneList::kMaxNameChars);
    EXPECT_EQ(longName[1], "B");

    // A name cut at its bound ends as a trimmed name does: no line end, no half of a character.
    const std::string kept(TimeZoneList::kMaxNameChars - 1, 'x');
    EXPECT_EQ(Parse("timezonelist=" + kept + "\r\nmore;B")[0], kept);
    EXPECT_EQ(Parse("timezonelist=" + kept + "\xf0\x9f\x98\x80;B")[0], kept) << "U+1F600 takes two units";
}

TEST(TimeZoneList, currentZoneMustNameOneOfTheZones)
{
    const struct
    {
        const char* answer;
        size_t count;
        int zone;
    } cases[] = {
        { "date=2024-03-11\r\ntimezone=5\r\ndst=0\r\n", 154, 5 },
        { "timezone=1\r\n", 1, 1 },
        { "timezone=154\r\n", 154, 154 },
        { "timezone=155\r\n", 154, -1 },
        { "timezone=0\r\n", 154, -1 },
        { "timezone=-3\r\n", 154, -1 },
        { "timezone=x\r\n", 154, -1 },
        { "timezone=\r\n", 154, -1 },
        { "date=2024-03-11\r\n", 154, -1 },
        { "timezone=5\r\n", 0, -1 },
        { "timezone=99999999999\r\n", 154, -1 },
        { "<html>400 Bad Request</html>", 154, -1 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.answer);
        EXPECT_EQ(TimeZoneList::CurrentZone(entry.answer, entry.count), entry.zone);
    }
}

} // namespace
