#include "session/StorageWatch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StorageWatch, answerGivesPortStateAndFileSystemCode)
{
    const struct
    {
        const char* answer;
        int32_t plugged;
        int32_t ready;
        int32_t fsCode; // starts at 4: kept unless the answer carries a code
    } cases[] = {
        { "plug=1\r\nready=1\r\nusedpartition=1\r\npartitioninfo1=1,/dev/sda1,2048,1000,900,1\r\n", 1, 1, 1 },
        { "plug=1\r\nready=0\r\nusedpartition=2\r\npartitioninfo1=1,a,b,c,d,1\r\npartitioninfo2=2,a,b,c,d,3\r\n", 1, 0,
            3 },
        { "plug=1\r\nready=1\r\nusedpartition=1\r\npartitioninfo1=1,a,b,c,d,7\r\n", 1, 1, 4 },
        { "plug=1\r\nready=1\r\nusedpartition=1\r\npartitioninfo1=1,a,b,c,d,12\r\n", 1, 1, 4 },
        { "plug=1\r\nready=1\r\nusedpartition=1\r\npartitioninfo1=1,a\r\n", 1, 1, 4 },
        { "plug=0\r\nready=0\r\nusedpartition=0\r\n", 0, 0, 4 },
        { "plug=yes\r\nready=1 \r\n", 0, 0, 4 },
        { "", 0, 0, 4 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.answer);
        int32_t plugged = -1;
        int32_t ready = -1;
        int32_t fsCode = 4;
        StorageWatch::ReadAnswer(entry.answer, plugged, ready, fsCode);
        EXPECT_EQ(plugged, entry.plugged);
        EXPECT_EQ(ready, entry.ready);
        EXPECT_EQ(fsCode, entry.fsCode);
    }
}

TEST(StorageWatch, diskIsNamedByWhatTheRecorderReports)
{
    using Description = StorageWatch::DiskDescription;
    const struct
    {
        std::string answer;
        Description description;
    } cases[] = {
        { "plug=1\r\ndevicename=/dev/sda\r\nmodelname=Ultra Fit\r\ncapacity=1000 GB\r\n",
            { "Ultra Fit", 1000000000000 } },
        { "plug=1\r\ndevicename=/dev/sdb\r\nmodelname=\r\n", { "/dev/sdb", 0 } },
        { "plug=1\r\nmodelname=Disk\r\ncapacity=12GB\r\n", { "Disk", 12000000000 } },
        // A bare number names no unit (a 953,869 MB disk once read as 953,869 bytes, "1 GB"): no size.
        { "plug=1\r\nmodelname=Disk\r\ncapacity=953869\r\n", { "Disk", 0 } },
        { "plug=1\r\nmodelname=Disk\r\ncapacity=1000000000000\r\n", { "Disk", 0 } },
        { "plug=1\r\nmodelname=Disk\r\ncapacity=-5 GB\r\n", { "Disk", 0 } },
        { "plug=1\r\nmodelname=Disk\r\ncapacity=9999999999999999999999 B\r\n", { "Disk", 0 } },
        { "plug=1\r\nmodelname=" + std::string(300, 'M') + "\r\n", { std::string(64, 'M'), 0 } },
        { "plug=1\r\n", { "", 0 } },
        { "plug=0\r\nmodelname=Gone\r\ncapacity=5\r\n", { "", 0 } },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.answer);
        EXPECT_EQ(StorageWatch::ReadDescription(entry.answer), entry.description);
    }
}

// An answer that does not state the plug state (cut short, or an error page) is unreadable, not "no disk".
TEST(StorageWatch, answerWithoutAPlugStateIsUnreadable)
{
    const struct
    {
        std::string answer;
        bool readable;
    } cases[] = {
        { "plug=1\r\nready=1\r\n", true },
        { "plug=0\r\n", true },
        { "usedpartition=1\r\npartitioninfo1=a,b", false }, // cut before "plug"
        { "plug=", false },
        { "<html><body>404 Not Found</body></html>", false },
        { "", false },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.answer);
        EXPECT_EQ(StorageWatch::AnswerReadable(entry.answer), entry.readable);
    }
}

TEST(StorageWatch, aSizeCountsOnlyWithItsUnit)
{
    const struct
    {
        const char* text;
        int64_t bytes;
    } cases[] = {
        { "953869 MB", 953869000000LL },
        { "953869MiB", 953869LL << 20 },
        { "931.5 GiB", 1000190509056LL },
        { "1000204886016 bytes", 1000204886016LL },
        { "2 tb", 2000000000000LL },
        { "953869", 0 }, // bare: which unit?
        { "953869 sectors", 0 },
        { "MB", 0 },
        { "12  GB", 0 },
        { "0 GB", 0 },
        { "", 0 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        EXPECT_EQ(StorageWatch::SizeInBytes(entry.text), entry.bytes);
    }
}

} // namespace
