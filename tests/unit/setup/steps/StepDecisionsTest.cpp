// The decisions of the steps that do not need a recorder: how a password request ended, which disks are left as
// they are, whether a recorder already holds the planned cameras, and how the recorder's portal text is split.
#include "device/NvrClient.h"
#include "setup/steps/AdminPasswordStep.h"
#include "setup/steps/CameraStep.h"
#include "setup/steps/CloudStep.h"
#include "setup/steps/DiskStep.h"

#include <gtest/gtest.h>

TEST(AdminPasswordStep, judgesTheRequestByItsStateAndTheLoginResult)
{
    using Mode = AdminPasswordStep::Mode;
    const struct
    {
        Mode mode;
        bool sent;
        int32_t state;
        int32_t loginResult;
        StepOutcome outcome;
        const char* reason; // a part of it
    } cases[] = {
        { Mode::Create, true, NvrClient::Done, 0, StepOutcome::Done, "" },
        { Mode::Create, true, NvrClient::Failed, 0, StepOutcome::Failed, "refused the new password" },
        { Mode::Create, true, NvrClient::TimedOut, 0, StepOutcome::Failed, "did not confirm" },
        { Mode::Create, true, NvrClient::Busy, 0, StepOutcome::Failed, "did not confirm" },
        { Mode::Create, false, NvrClient::Idle, 0, StepOutcome::Failed, "could not be reached" },
        { Mode::Login, true, NvrClient::Done, 1, StepOutcome::Done, "" },
        // A login answer says Done for a wrong password too.
        { Mode::Login, true, NvrClient::Done, 0, StepOutcome::Failed, "refused the password" },
        { Mode::Login, true, NvrClient::Done, 2, StepOutcome::Failed, "refused the password" },
        { Mode::Login, true, NvrClient::Failed, 0, StepOutcome::Failed, "refused the password" },
        { Mode::Login, true, NvrClient::TimedOut, 0, StepOutcome::Failed, "did not answer" },
        { Mode::Login, false, NvrClient::Idle, 1, StepOutcome::Failed, "could not be reached" },
    };
    for (const auto& c : cases) {
        const AdminPasswordResult judged = AdminPasswordStep::Judge(c.mode, c.sent, c.state, c.loginResult);
        const std::string label = std::string(c.mode == Mode::Create ? "create" : "login") + " sent="
            + std::to_string(c.sent) + " state=" + std::to_string(c.state) + " result=" + std::to_string(c.loginResult);
        EXPECT_EQ(judged.outcome, c.outcome) << label;
        EXPECT_NE(judged.reason.find(c.reason), std::string::npos) << label << ": " << judged.reason;
        EXPECT_EQ(judged.outcome == StepOutcome::Done, judged.reason.empty()) << label;
        EXPECT_EQ(judged.sent, c.sent) << label;
    }
}

TEST(DiskStep, aReadyDiskOfOnePartitionWithTheRecordersFileSystemIsLeftAsItIs)
{
    auto answer = [](const std::string& plug, const std::string& ready, const std::string& partitions) {
        return "storageid=0\r\nplug=" + plug + "\r\nready=" + ready
            + "\r\ntype=usb\r\ndevicename=/dev/sda\r\nmodelname=Disk X\r\ncapacity=1000000000000\r\nusedpartition=1\r\n"
            + partitions;
    };
    const struct
    {
        std::string answer;
        int32_t fsCode;
        int partitions;
        bool kept;
    } cases[] = {
        { answer("1", "1", "partitioninfo1=1,/dev/sda1,2048,1000,990,1\r\n"), 1, 1, true },
        { answer("1", "1", "partitioninfo1=1,/dev/sda1,2048,1000,990,2\r\n"), 2, 1, true },
        // From a PC: another file system, or more than one partition.
        { answer("1", "1", "partitioninfo1=1,/dev/sda1,2048,1000,0,3\r\n"), 3, 1, false },
        { answer("1", "1", "partitioninfo1=1,/dev/sda1,2048,500,0,2\r\npartitioninfo2=2,/dev/sda2,4096,500,0,2\r\n"), 2,
            2, false },
        { answer("1", "1", "partitioninfo1=1,/dev/sda1,2048,1000,0,0\r\n"), 0, 1, false },
        // Not ready, or no disk.
        { answer("1", "0", "partitioninfo1=1,/dev/sda1,2048,1000,990,1\r\n"), 1, 1, false },
        { "storageid=0\r\nplug=0\r\nready=0\r\ntype=usb\r\ndevicename=\r\nmodelname=\r\nusedpartition=0\r\n", 0, 0,
            false },
    };
    for (const auto& c : cases) {
        const DiskPort port = DiskStep::ReadPort(c.answer);
        EXPECT_EQ(port.fsCode, c.fsCode) << c.answer;
        EXPECT_EQ(port.partitions, c.partitions) << c.answer;
        EXPECT_EQ(DiskStep::AlreadyFormatted(port), c.kept) << c.answer;
    }
    // What formatting gives a disk: its own file system stays, anything else becomes 2.
    for (int32_t code = 0; code <= 5; ++code)
        EXPECT_EQ(DiskStep::FileSystemFor(code), code == 1 ? 1 : 2) << code;
}

TEST(CameraStep, aRecorderHoldsThePlannedCamerasOnlyWhenItHasExactlyThemWithTheirPasswords)
{
    // onRecorder;ip;mac;brand;model;account;password;extra;protocolType
    const std::string added1 = "1;10.0.0.20;00:3e:0b:00:00:01;Veskor;QC-210;admin;Cam12345;ch0;1";
    const std::string added2 = "1;10.0.0.21;00:3e:0b:00:00:02;Veskor;QC-320;admin;;ch1;1"; // password not listed
    const std::string seen3 = "0;10.0.0.22;00:3e:0b:00:00:03;Veskor;QC-410;admin;;;1";
    const WantedCamera one { "00:3E:0B:00:00:01", "Cam12345", "" };
    const WantedCamera two { "00:3e:0b:00:00:02", "Other999", "Door" };
    const WantedCamera three { "00:3E:0B:00:00:03", "Cam33333", "" };
    const struct
    {
        std::vector<std::string> lines;
        std::vector<WantedCamera> wanted;
        bool holds;
    } cases[] = {
        { { added1, added2, seen3 }, { one, two }, true }, { { added1, added2, seen3 }, { two, one }, true },
        { { added1, seen3 }, { one }, true }, { { added1, added2, seen3 }, { one }, false }, // one more than planned
        { { added1, added2, seen3 }, { one, two, three }, false }, // one planned camera not added
        { { added1, seen3 }, { WantedCamera { one.mac, "Changed1", "" } }, false }, // another password listed
        { { seen3 }, { three }, false }, { { seen3 }, {}, true }, // nothing planned, nothing added
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto cameras = CameraStep::ReadLines(cases[i].lines);
        EXPECT_EQ(CameraStep::HoldsExactly(cameras, cases[i].wanted), cases[i].holds) << "case " << i;
    }
    const auto cameras = CameraStep::ReadLines({ added1, "1;;00:3e:0b:00:00:09", seen3 });
    ASSERT_EQ(cameras.size(), 2u); // a line without an address is no camera
    EXPECT_EQ(CameraStep::FindCamera(cameras, "00:3E:0B:00:00:03"), 1);
    EXPECT_EQ(CameraStep::FindCamera(cameras, "00:3e:0b:00:00:09"), -1);
    EXPECT_EQ(CameraStep::FindCamera(cameras, ""), -1);
}

TEST(CloudStep, theRecordersPortalTextIsSplitAtItsFirstSixAmpersands)
{
    const struct
    {
        const char* joined;
        std::array<std::string, 6> values;
    } cases[] = {
        { "0&1&cloud.example&N123&D456&HXT-914Q&http://10.0.0.10/",
            { "0", "1", "cloud.example", "N123", "D456", "http://10.0.0.10/" } },
        // The link may hold "&" itself.
        { "1&1&h&n&d&m&http://x/?a=1&b=2", { "1", "1", "h", "n", "d", "http://x/?a=1&b=2" } },
        // Too few pieces: the values before the missing "&" keep what they held.
        { "0&1&u", { "0", "1", "old", "old", "old", "u" } },
        { "", { "old", "old", "old", "old", "old", "" } },
    };
    for (const auto& c : cases) {
        PortalValues portal;
        portal.values.fill("old");
        CloudStep::ApplyPortalText(c.joined, portal);
        EXPECT_EQ(portal.values, c.values) << c.joined;
    }
}
