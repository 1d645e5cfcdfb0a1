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
    // A zero byte anywhere damages the line: it is left out whole, never cut into a camera of half a line.
    EXPECT_EQ(ParseCameraLine(std::string_view("0;10.77.0.35\0;m;b;M", 20)), nullptr);
    EXPECT_EQ(ParseCameraLine(std::string_view("0;10.77.0.35;m;b;M;admin;p\0w", 29)), nullptr);
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

namespace {

// A recorder's camera channels as its list shows them: the added cameras first, in channel order, then the cameras
// it only sees. A camera is a letter (MAC 00:00:00:00:00:0<letter>). A recorder that `closesGaps` removes by
// position in the list and moves the cameras after the removed one down a channel; the other removes by channel
// and leaves it empty. The two agree while the channels in use are 0, 1, 2 ... A recorder that `namesChannels`
// writes each added camera's channel in its line ("ch1" for channel 0). An Add into a channel replaces what was
// there.
class ChannelRecorder
{
public:
    ChannelRecorder(bool closesGaps, bool namesChannels, std::vector<char> channels, std::string seen)
        : closesGaps(closesGaps)
        , namesChannels(namesChannels)
        , channels(std::move(channels))
        , seen(std::move(seen))
    {
    }

    static std::string Mac(char camera) { return std::string("00:00:00:00:00:0") + camera; }
    static std::string Line(char camera, bool added, std::string extra = "")
    {
        return std::string(added ? "1;" : "0;") + "10.77.0." + std::to_string(camera) + ";" + Mac(camera)
            + ";b;" + camera + ";admin;pw" + (extra.empty() ? "" : ";" + extra);
    }

    std::vector<std::string> List() const
    {
        std::vector<std::string> lines;
        for (size_t channel = 0; channel < channels.size(); ++channel) {
            if (channels[channel] != 0)
                lines.push_back(
                    Line(channels[channel], true, namesChannels ? "ch" + std::to_string(channel + 1) : ""));
        }
        for (char camera : seen) {
            if (Held().find(camera) == std::string::npos)
                lines.push_back(Line(camera, false));
        }
        return lines;
    }

    // The added cameras in channel order.
    std::string Held() const
    {
        std::string held;
        for (char camera : channels) {
            if (camera != 0)
                held += camera;
        }
        return held;
    }

    bool Remove(int32_t avdevId)
    {
        if (!closesGaps) { // by channel, as the simulator does
            if (avdevId < 0 || static_cast<size_t>(avdevId) >= channels.size() || channels[static_cast<size_t>(avdevId)] == 0)
                return false;
            channels[static_cast<size_t>(avdevId)] = 0;
            return true;
        }
        int32_t listed = -1;
        for (size_t channel = 0; channel < channels.size(); ++channel) {
            if (channels[channel] != 0 && ++listed == avdevId) {
                channels.erase(channels.begin() + static_cast<long>(channel));
                return true;
            }
        }
        return false;
    }

    bool Add(int32_t channel, char camera)
    {
        if (channel < 0 || channel >= 8)
            return false;
        if (channels.size() <= static_cast<size_t>(channel))
            channels.resize(static_cast<size_t>(channel) + 1, 0);
        channels[static_cast<size_t>(channel)] = camera;
        return true;
    }

    const bool closesGaps;
    const bool namesChannels;
    std::vector<char> channels; // 0: empty
    std::string seen;
};

// Every camera of the recorder's list as the page reads it; `chosen` are checked.
Cameras ReadList(const std::vector<std::string>& lines, const std::string& chosen)
{
    Cameras cameras;
    for (const std::string& line : lines) {
        auto camera = ParseCameraLine(line);
        camera->selected = chosen.find(camera->model) != std::string::npos ? 1 : 0;
        cameras.push_back(std::move(camera));
    }
    return cameras;
}

std::string Sorted(std::string text)
{
    std::sort(text.begin(), text.end());
    return text;
}

} // namespace

// Next against both kinds of recorder: a kept camera is never removed nor overwritten, only the cameras not chosen
// go, only new ones are added (into free channels), and no camera ends up in two channels.
TEST(CameraRules, nextKeepsChosenCamerasRemovesOnlyTheOthersAndAddsOnlyNewOnes)
{
    const struct
    {
        const char* name;
        std::vector<char> channels;
        std::string seen;
        std::string chosen;
        std::string refusedAdds; // the recorder refuses to add these
        std::string refusedRemovals;
        std::string held; // afterwards, in any order
        std::string selected; // afterwards
        bool needsNamedChannels = false; // channels in use are not 0, 1, 2 ...: only a line naming its channel tells
    } cases[] = {
        { "keep the last, drop two, add one", { 'A', 'B', 'C' }, "D", "CD", "", "", "CD", "CD" },
        { "keep the first, drop one, add two", { 'A', 'B' }, "DE", "ADE", "", "", "ADE", "ADE" },
        { "keep two around a dropped one", { 'A', 'B', 'C' }, "D", "ACD", "", "", "ACD", "ACD" },
        { "nothing changes", { 'A', 'B' }, "", "AB", "", "", "AB", "AB" },
        { "all go", { 'A', 'B', 'C', 'D' }, "", "", "", "", "", "" },
        // A refused add leaves the kept camera where it was (the old rule removed it first, then lost it).
        { "add refused", { 'A', 'B' }, "C", "BC", "C", "", "B", "B" },
        { "removal refused", { 'A', 'B' }, "C", "AC", "", "B", "ABC", "AC" },
        { "a camera in two channels stays in one", { 'A', 'B', 'A' }, "", "A", "", "", "A", "A" },
        { "gaps below a kept camera", { 0, 'B', 0, 'C' }, "DE", "CDE", "", "", "CDE", "CDE", true },
    };
    const struct
    {
        const char* name;
        bool closesGaps;
        bool namesChannels;
    } recorders[] = { { "closes gaps", true, false }, { "keeps gaps", false, false },
        { "keeps gaps, names channels", false, true } };
    for (const auto& entry : cases) {
        for (const auto& kind : recorders) {
            if (entry.needsNamedChannels && !kind.namesChannels)
                continue;
            SCOPED_TRACE(std::string(entry.name) + ", recorder " + kind.name);
            ChannelRecorder recorder(kind.closesGaps, kind.namesChannels, entry.channels, entry.seen);
            Cameras cameras = ReadList(recorder.List(), entry.chosen);
            std::vector<RegistrationStep> steps = PlanRegistration(cameras);
            const std::string keptBefore = [&] {
                std::string kept;
                for (char camera : recorder.Held())
                    if (entry.chosen.find(camera) != std::string::npos && kept.find(camera) == std::string::npos)
                        kept += camera;
                return kept;
            }();
            RegistrationLink link;
            link.readList = [&] {
                // Every kept camera is on the recorder at every moment.
                for (char camera : keptBefore)
                    EXPECT_NE(recorder.Held().find(camera), std::string::npos) << camera << " was lost";
                return std::optional<std::vector<std::string>>(recorder.List());
            };
            link.send = [&](RegistrationStep::Kind kind, size_t step, int32_t avdevId) {
                const char camera = cameras[static_cast<size_t>(steps[step].camera)]->model[0];
                if (kind == RegistrationStep::Remove)
                    return entry.refusedRemovals.find(camera) == std::string::npos && recorder.Remove(avdevId);
                EXPECT_EQ(kind, RegistrationStep::Add);
                return entry.refusedAdds.find(camera) == std::string::npos && recorder.Add(avdevId, camera);
            };
            link.running = [] { return true; };
            RunRegistration(steps, link);
            EXPECT_EQ(Sorted(recorder.Held()), Sorted(entry.held));
            ApplyRegistration(cameras, steps);
            std::string selected;
            for (const auto& camera : cameras) {
                if (camera->selected == 1 && selected.find(camera->model) == std::string::npos)
                    selected += camera->model;
            }
            EXPECT_EQ(Sorted(selected), Sorted(entry.selected));
        }
    }
}

// What is not known is not touched: nothing is sent on a list that cannot be read, a recorder whose list does not
// change as a removal says gets no adds, and a stop ends the run; what was not done is not selected.
TEST(CameraRules, nextSendsNothingItCannotCheck)
{
    ChannelRecorder recorder(true, false, { 'A', 'B' }, "C");
    const std::vector<std::string> before = recorder.List();
    struct Case
    {
        const char* name;
        int readsAnswered; // reads after this many fail
        bool removalIgnored; // the recorder answers a removal but keeps the camera
        int sendsAllowed; // the run is stopped after this many requests
        std::vector<char> sentKinds;
    };
    const Case cases[] = {
        { "list unreadable", 0, false, 99, {} },
        { "list unreadable after the removal", 1, false, 99, { 'R' } },
        { "removal taken but not made", 99, true, 99, { 'R' } },
        { "stopped after the removal", 99, false, 1, { 'R' } },
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        ChannelRecorder copy(true, false, { 'A', 'B' }, "C");
        Cameras cameras = ReadList(before, "AC");
        std::vector<RegistrationStep> steps = PlanRegistration(cameras);
        int reads = 0;
        int sends = 0;
        std::vector<char> sent;
        RegistrationLink link;
        link.readList = [&]() -> std::optional<std::vector<std::string>> {
            if (reads++ >= entry.readsAnswered)
                return std::nullopt;
            return copy.List();
        };
        link.send = [&](RegistrationStep::Kind kind, size_t step, int32_t avdevId) {
            ++sends;
            sent.push_back(kind == RegistrationStep::Remove ? 'R' : 'A');
            if (kind == RegistrationStep::Remove)
                return entry.removalIgnored || copy.Remove(avdevId);
            return copy.Add(avdevId, cameras[static_cast<size_t>(steps[step].camera)]->model[0]);
        };
        link.running = [&] { return sends < entry.sendsAllowed; };
        RunRegistration(steps, link);
        EXPECT_EQ(sent, entry.sentKinds);
        EXPECT_NE(copy.Held().find('A'), std::string::npos) << "the kept camera stays";
        ApplyRegistration(cameras, steps);
        EXPECT_EQ(cameras[2]->selected, 0) << "C was never added";
    }
}
