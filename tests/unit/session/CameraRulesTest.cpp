// The camera page's rules without widgets: camera lines, what a rescan carries over, what a click leads to, and
// the removals and registrations that Next sends.
#include "session/CameraRules.h"
#include "session/CameraLine.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Cameras = std::vector<std::unique_ptr<CameraRecord>>;

std::unique_ptr<CameraRecord> Camera(const std::string& line)
{
    auto record = ParseCameraLine(line);
    EXPECT_NE(record, nullptr) << line;
    return record;
}

Cameras List(std::initializer_list<const char*> lines)
{
    Cameras cameras;
    for (const char* line : lines)
        cameras.push_back(Camera(line));
    return cameras;
}

} // namespace

TEST(CameraLine, fieldsLandInTheirPlacesAndLinesWithoutAnAddressAreDropped)
{
    auto full = ParseCameraLine("1;10.77.0.30:8080;00:1a:2b:3c:4d:01;Veskor;PQC-7310W;admin;pw;ch0;1;x;y");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->onRecorder, "1");
    EXPECT_EQ(full->ip, "10.77.0.30:8080");
    EXPECT_EQ(full->mac, "00:1a:2b:3c:4d:01");
    EXPECT_EQ(full->brand, "Veskor");
    EXPECT_EQ(full->model, "PQC-7310W");
    EXPECT_EQ(full->account, "admin");
    EXPECT_EQ(full->password, "pw");
    EXPECT_EQ(full->extra, "ch0");
    EXPECT_EQ(full->protocolType, "1"); // the tenth and later fields are dropped
    EXPECT_EQ(full->verified, 0);
    EXPECT_EQ(full->selected, 0);

    auto shortLine = ParseCameraLine("0;10.77.0.31;00:1a:2b:3c:4d:02;B;M"); // five fields: account stays "admin"
    ASSERT_NE(shortLine, nullptr);
    EXPECT_EQ(shortLine->account, "admin");
    EXPECT_EQ(shortLine->password, "");

    auto emptyAccount = ParseCameraLine("0;10.77.0.32;m;b;M;;;;0");
    ASSERT_NE(emptyAccount, nullptr);
    EXPECT_EQ(emptyAccount->account, "");
    EXPECT_EQ(emptyAccount->protocolType, "0");

    auto twoFields = ParseCameraLine("0;10.77.0.33;"); // the trailing ";" starts no field
    ASSERT_NE(twoFields, nullptr);
    EXPECT_EQ(twoFields->ip, "10.77.0.33");
    EXPECT_EQ(twoFields->mac, "");
    EXPECT_EQ(twoFields->account, "admin");

    auto semicolonPassword = ParseCameraLine("0;10.77.0.34;m;b;M;admin;a;b;x;1"); // a ";" shifts what follows
    ASSERT_NE(semicolonPassword, nullptr);
    EXPECT_EQ(semicolonPassword->password, "a");
    EXPECT_EQ(semicolonPassword->protocolType, "x");

    for (const char* dropped : { "", "1", "1;", "1;;00:1a:2b:3c:4d:01;b;m", ";;;;", ";" })
        EXPECT_EQ(ParseCameraLine(dropped), nullptr) << dropped;
}

TEST(CameraLine, protocolTypeAndOnRecorderReadTheirLeadingTextAndSurviveOverflow)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case cases[] = { { "0", 0 }, { "1", 1 }, { " 12x", 12 }, { "+7", 7 }, { "-3", -3 }, { "", 0 }, { "x1", 0 },
        { "99999999999999999999", INT_MAX }, { "-99999999999999999999", INT_MIN }, { "2147483647", INT_MAX } };
    for (const Case& c : cases)
        EXPECT_EQ(ProtocolTypeValue(c.text), c.value) << c.text;

    CameraRecord camera;
    for (const char* on : { "1", "01", "x1y" }) {
        camera.onRecorder = on;
        EXPECT_TRUE(IsOnRecorder(camera)) << on;
    }
    for (const char* off : { "", "0", "2" }) {
        camera.onRecorder = off;
        EXPECT_FALSE(IsOnRecorder(camera)) << off;
    }
}

TEST(CameraRules, aRescanBringsCheckedVerifiedCamerasBackByMacAtMostFourAndNeverByAnEmptyMac)
{
    std::vector<RememberedCamera> memory;
    // First list: six cameras, all verified with passwords, four checked; one without a MAC; one never verified.
    Cameras first = List({ "0;10.77.0.30;00:00:00:00:00:01;b;A;admin;p1", "0;10.77.0.31;00:00:00:00:00:02;b;B;admin;p2",
        "0;10.77.0.32;00:00:00:00:00:03;b;C;admin;p3", "0;10.77.0.33;;b;D;admin;p4",
        "0;10.77.0.34;00:00:00:00:00:05;b;E;;p5" });
    std::vector<CameraRowState> rows
        = { { true, true }, { true, true }, { false, true }, { true, true }, { true, false } };
    RememberVerifiedRows(memory, rows, first);
    ASSERT_EQ(memory.size(), 3u); // not the camera without a MAC, not the unverified one
    EXPECT_EQ(memory[0].password, "p1");
    EXPECT_EQ(memory[2].checked, 0);

    // Later, two more checked cameras were remembered from a list where they showed up.
    Cameras second = List({ "0;10.77.0.40;00:00:00:00:00:06;b;F;admin;p6",
        "0;10.77.0.41;00:00:00:00:00:07;b;G;admin;p7", "0;10.77.0.42;00:00:00:00:00:08;b;H;admin;p8" });
    RememberVerifiedRows(memory, { { true, true }, { true, true }, { true, true } }, second);
    ASSERT_EQ(memory.size(), 6u);

    // Now all come back, A at a new address, plus two cameras without a MAC (which must not match each other).
    Cameras again = List({ "0;10.77.0.50;00:00:00:00:00:01;b;A;;", "0;10.77.0.31;00:00:00:00:00:02;b;B;;",
        "0;10.77.0.32;00:00:00:00:00:03;b;C;;", "0;10.77.0.40;00:00:00:00:00:06;b;F;;",
        "0;10.77.0.41;00:00:00:00:00:07;b;G;;", "0;10.77.0.42;00:00:00:00:00:08;b;H;;", "0;10.77.0.60;;b;X;;",
        "0;10.77.0.61;;b;Y;;" });
    int checkedCount = -1;
    const std::vector<CameraRowState> restored = StartRows(again, memory, checkedCount);
    EXPECT_EQ(checkedCount, 4);
    int checkedRows = 0;
    for (const CameraRowState& row : restored)
        checkedRows += row.checked ? 1 : 0;
    EXPECT_EQ(checkedRows, 4);
    EXPECT_TRUE(restored[0].checked); // by MAC, at its new address
    EXPECT_EQ(again[0]->password, "p1");
    EXPECT_EQ(again[0]->verified, 1);
    EXPECT_FALSE(restored[2].checked); // C was unchecked when remembered
    EXPECT_EQ(again[2]->password, "p3");
    EXPECT_TRUE(restored[2].verified);
    EXPECT_FALSE(restored[5].checked); // the fifth would be over the limit; still verified with its password
    EXPECT_EQ(again[5]->password, "p8");
    for (int i : { 6, 7 }) {
        EXPECT_FALSE(restored[static_cast<size_t>(i)].checked);
        EXPECT_FALSE(restored[static_cast<size_t>(i)].verified);
        EXPECT_EQ(again[static_cast<size_t>(i)]->password, "");
    }
}

TEST(CameraRules, aClickOnABoxChecksOpensTheRightOverlayOrDoesNothing)
{
    struct Case
    {
        const char* line;
        CameraRowState row;
        int checkedCount;
        CheckAction action;
    };
    const Case cases[] = {
        { "0;ip;m;b;M;admin;pw", { false, true }, 0, CheckAction::Check }, // known password: no overlay
        { "0;ip;m;b;M;admin;", { false, true }, 0, CheckAction::CreatePassword }, // admin without a password
        { "0;ip;m;b;M;;", { false, false }, 0, CheckAction::EnterPassword }, // empty account
        { "0;ip;m;b;M;user;pw", { false, false }, 0, CheckAction::EnterPassword },
        { "0;ip;m;b;M", { false, true }, 3, CheckAction::CreatePassword }, // short line: admin, no password
        { "0;ip;m;b;M;admin;pw", { false, true }, 4, CheckAction::Refuse }, // a fifth
        { "0;ip;m;b;M;admin;pw", { true, true }, 1, CheckAction::Refuse }, // already checked
    };
    for (const Case& c : cases) {
        auto camera = Camera(c.line);
        EXPECT_EQ(DecideCheck(c.row, *camera, c.checkedCount), c.action) << c.line << " " << c.checkedCount;
    }
    auto verified = Camera("0;ip;m;b;M;;");
    verified->verified = 1;
    EXPECT_EQ(DecideCheck({ false, false }, *verified, 0), CheckAction::Check);
}

TEST(CameraRules, resultsFindTheirCameraByMacOrElseByAddress)
{
    auto withMac = Camera("0;10.77.0.30;00:00:00:00:00:01;b;M");
    auto withoutMac = Camera("0;10.77.0.31;;b;M");
    EXPECT_TRUE(IsSameCamera(*withMac, "00:00:00:00:00:01", "10.77.0.99")); // the MAC wins over a moved address
    EXPECT_FALSE(IsSameCamera(*withMac, "00:00:00:00:00:02", "10.77.0.30"));
    EXPECT_FALSE(IsSameCamera(*withMac, "", "10.77.0.30"));
    EXPECT_TRUE(IsSameCamera(*withoutMac, "", "10.77.0.31"));
    EXPECT_FALSE(IsSameCamera(*withoutMac, "", "10.77.0.30"));
    EXPECT_FALSE(IsSameCamera(*withoutMac, "", ""));
}

TEST(CameraRules, nextLeavesEveryKeptCameraInExactlyOneChannelAndNoDroppedCameraInAny)
{
    // A, B and C in channels 0 to 2, D seen but not added; the user keeps C and picks D. (Removing only the dropped
    // cameras and adding from channel 0 would leave C in channels 0 and 2.)
    Cameras cameras
        = List({ "1;10.77.0.30;00:00:00:00:00:01;b;A;admin;pa", "1;10.77.0.31;00:00:00:00:00:02;b;B;admin;pb",
            "1;10.77.0.32;00:00:00:00:00:03;b;C;admin;pc", "0;10.77.0.33;00:00:00:00:00:04;b;D;admin;pd" });
    cameras[2]->selected = 1;
    cameras[3]->selected = 1;
    std::vector<RegistrationStep> steps = PlanRegistration(cameras);

    // Play the recorder's channels.
    std::vector<std::string> channels = { "A", "B", "C", "" };
    RunRegistration(
        steps,
        [&](const RegistrationStep& step) {
            const size_t slot = static_cast<size_t>(step.avdevId);
            if (step.kind == RegistrationStep::Remove) {
                channels[slot].clear();
            } else {
                channels[slot] = cameras[static_cast<size_t>(step.camera)]->model;
            }
            return true;
        },
        [] { return true; });
    EXPECT_EQ(channels, (std::vector<std::string> { "C", "D", "", "" }));
    ApplyRegistration(cameras, steps);
    EXPECT_EQ(cameras[0]->selected, 0);
    EXPECT_EQ(cameras[1]->selected, 0);
    EXPECT_EQ(cameras[2]->selected, 1);
    EXPECT_EQ(cameras[3]->selected, 1);
}

TEST(CameraRules, registrationsCountOnlySuccessesAndAFailedOneIsNotSelected)
{
    // Three checked cameras whose first registration fails go to channels 0, 0 and 1; the failed one is not
    // reported as added. Removals use the camera's position in the list.
    Cameras cameras = List({ "0;10.77.0.30;m1;b;A;admin;p", "1;10.77.0.31;m2;b;B;admin;p",
        "0;10.77.0.32;m3;b;C;admin;p", "0;10.77.0.33;m4;b;D;admin;p" });
    for (int i : { 0, 2, 3 })
        cameras[static_cast<size_t>(i)]->selected = 1;
    std::vector<RegistrationStep> steps = PlanRegistration(cameras);
    std::vector<std::pair<char, int32_t>> sent;
    RunRegistration(
        steps,
        [&](const RegistrationStep& step) {
            sent.emplace_back(step.kind == RegistrationStep::Remove ? 'R' : 'A', step.avdevId);
            return !(step.kind == RegistrationStep::Add && step.camera == 0);
        },
        [] { return true; });
    EXPECT_EQ(sent, (std::vector<std::pair<char, int32_t>> { { 'R', 1 }, { 'A', 0 }, { 'A', 0 }, { 'A', 1 } }));
    ApplyRegistration(cameras, steps);
    EXPECT_EQ(cameras[0]->selected, 0);
    EXPECT_EQ(cameras[1]->selected, 0);
    EXPECT_EQ(cameras[2]->selected, 1);
    EXPECT_EQ(cameras[3]->selected, 1);

    // Stopped half-way: nothing after the stop is sent, and what was not sent is not selected.
    for (int i : { 0, 2, 3 })
        cameras[static_cast<size_t>(i)]->selected = 1;
    steps = PlanRegistration(cameras);
    int calls = 0;
    RunRegistration(
        steps, [&](const RegistrationStep&) { return ++calls > 0; }, [&] { return calls < 2; });
    EXPECT_EQ(calls, 2);
    ApplyRegistration(cameras, steps);
    EXPECT_EQ(cameras[0]->selected, 1);
    EXPECT_EQ(cameras[2]->selected, 0);
    EXPECT_EQ(cameras[3]->selected, 0);
}
