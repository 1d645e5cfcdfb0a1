#include "discovery/SearchDevice.h"
#include "discovery/DatagramHeader.h"

#include "LoopbackPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

constexpr uint8_t kMac[6] = { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E };
constexpr uint8_t kIp[4] = { 10, 77, 0, 10 };

Bytes makeAnswer(const std::string& model, const uint8_t (&mac)[6], const uint8_t (&ip)[4], uint16_t webPort,
    size_t size = DeviceRecord::kAnswerSize)
{
    Bytes answer(std::max(size, DeviceRecord::kAnswerSize), 0);
    const auto header = DatagramHeader::SearchRequest().Bytes();
    std::memcpy(answer.data(), header.data(), header.size());
    std::memcpy(answer.data() + 150, model.data(), std::min<size_t>(model.size(), 70));
    std::memcpy(answer.data() + 220, mac, 6);
    std::memcpy(answer.data() + 226, "extra", 5);
    std::memcpy(answer.data() + 290, ip, 4);
    answer[294] = static_cast<uint8_t>(webPort & 0xFF);
    answer[295] = static_cast<uint8_t>(webPort >> 8);
    for (size_t i = DeviceRecord::kAnswerSize; i < answer.size(); ++i) {
        answer[i] = 0xAB;
    }
    answer.resize(size);
    return answer;
}

// A search on loopback: one endpoint per listed address, the request aimed at the peer, a short search time.
void aimAtPeer(
    SearchDevice& search, const LoopbackPeer& peer, std::vector<std::string> addresses, uint32_t searchTime = 400)
{
    search.SetAddressSource([addresses] { return addresses; });
    search.SetSearchTarget("127.0.0.1", peer.Port());
    search.SetSearchWindow(searchTime);
}

bool waitForDone(const SearchDevice& search, std::chrono::milliseconds limit = std::chrono::milliseconds(5000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (search.state.load() != SearchDevice::SearchDone) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

TEST(SearchDevice, duplicateAnswerOnSecondInterfaceIsNotUnique)
{
    LoopbackPeer recorder([](const Bytes&) { return std::vector<Bytes> { makeAnswer("HXT-914Q", kMac, kIp, 8080) }; });
    SearchDevice search;
    aimAtPeer(search, recorder, { "127.0.0.1", "127.0.0.1" });

    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    ASSERT_TRUE(waitForDone(search));

    // The request is the bare header: every device, sequence 0, once from each interface.
    const Bytes request
        = { 0xFD, 0xFD, 0, 0, 0xA1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0 };
    ASSERT_EQ(recorder.Requests().size(), 2u);
    EXPECT_EQ(recorder.Requests()[0], request);
    EXPECT_EQ(recorder.Requests()[1], request);

    ASSERT_EQ(search.recordCount.load(), 2);
    const auto first = search.Record(0);
    const auto second = search.Record(1);
    EXPECT_EQ(first->interfaceIndex, 0);
    EXPECT_EQ(first->unique, 1);
    EXPECT_EQ(second->interfaceIndex, 1);
    EXPECT_EQ(second->unique, 0);

    EXPECT_EQ(search.MacText(0), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(search.IpText(0), "10.77.0.10");
    EXPECT_EQ(search.ModelText(0), "HXT-914Q");
    EXPECT_EQ(search.ExtraText(0), "extra");
    EXPECT_EQ(search.WebPort(0), 8080);
    EXPECT_EQ(search.FindByMac("00:1a:2b:3c:4d:5e"), 0);
    EXPECT_EQ(search.FindByMac("00:1A:2B:3C:4D:5E"), -1) << "MAC lookup is case-sensitive";
    EXPECT_EQ(search.InterfaceForIp("10.77.0.10"), 0);
    EXPECT_EQ(search.InterfaceForIp("10.77.0.11"), -1);
    EXPECT_EQ(search.LocalAddress(1), "127.0.0.1");
    EXPECT_EQ(search.LocalAddress(2), "");
    EXPECT_EQ(search.WebPort(-1), 0);
    EXPECT_EQ(search.MacText(2), "");

    const auto figures = search.LastFigures();
    EXPECT_EQ(figures.datagrams, 2u);
    EXPECT_EQ(figures.dropped, 0u);
    EXPECT_GE(figures.lastDatagramMs, 0);
    EXPECT_LT(figures.lastDatagramMs, 400) << "answered within the search time";
    EXPECT_GT(figures.receiveBufferBytes, 0);
}

TEST(SearchDevice, everyWellFormedAnswerBecomesABoundedRecordAndMalformedOnesAreDroppedOnArrival)
{
    const uint8_t otherMac[6] = { 2, 0, 0, 0, 0, 1 };
    const uint8_t thirdMac[6] = { 2, 0, 0, 0, 0, 3 };
    const uint8_t otherIp[4] = { 10, 77, 0, 20 };
    Bytes noNul = makeAnswer(std::string(70, 'M'), otherMac, otherIp, 81);
    std::memset(noNul.data() + 226, 'X', 64); // the extra text fills its field too
    Bytes badMagic = makeAnswer("HXT-914Q", thirdMac, kIp, 80);
    badMagic[1] = 0xFE;
    Bytes loginReply = makeAnswer("HXT-914Q", thirdMac, kIp, 80);
    loginReply[4] = 0xA3;
    const std::vector<Bytes> answers = {
        makeAnswer("CAM-200", otherMac, otherIp, 80), // another model: still a record
        makeAnswer("HXT-914Q", kMac, kIp, 8080, 400), // longer: the first 336 bytes are kept
        makeAnswer("HXT-914Q", kMac, kIp, 8080, 100), // too short for the address: dropped
        Bytes(), // empty: dropped
        Bytes(1500, 0x11), // larger than 1024: dropped by the endpoint
        noNul, // texts without NUL: read up to their widths
        makeAnswer("HXT-914Q", thirdMac, kIp, 81, SearchDevice::kMinAnswerSize), // ends with the port: kept
        makeAnswer("HXT-914Q", thirdMac, kIp, 81, SearchDevice::kMinAnswerSize - 1), // port cut: dropped
        badMagic, // dropped
        loginReply, // another command: dropped
        makeAnswer("HXT-914Q", kMac, kIp, 8080, 400), // the same bytes again on the same interface: dropped
    };
    LoopbackPeer recorder([&](const Bytes&) { return answers; });
    SearchDevice search;
    aimAtPeer(search, recorder, { "127.0.0.1" });
    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    ASSERT_TRUE(waitForDone(search));

    ASSERT_EQ(search.recordCount.load(), 4);
    EXPECT_EQ(search.ModelText(0), "CAM-200");
    EXPECT_EQ(search.WebPort(0), 80);

    const auto longer = search.Record(1);
    EXPECT_TRUE(std::equal(longer->answer.begin(), longer->answer.end(), answers[1].begin()));
    EXPECT_EQ(search.IpText(1), "10.77.0.10");

    EXPECT_EQ(search.ModelText(2), std::string(70, 'M'));
    EXPECT_EQ(search.ExtraText(2), std::string(64, 'X'));
    EXPECT_EQ(search.Record(2)->unique, 0) << "same device as the first record";

    const auto shortest = search.Record(3);
    EXPECT_EQ(search.WebPort(3), 81);
    EXPECT_EQ(search.MacText(3), "02:00:00:00:00:03");
    EXPECT_TRUE(std::all_of(shortest->answer.begin() + SearchDevice::kMinAnswerSize, shortest->answer.end(),
        [](uint8_t b) { return b == 0; }))
        << "bytes not received read as zero";
    EXPECT_EQ(shortest->unique, 1) << "same address as the second record, another MAC";

    const auto figures = search.LastFigures();
    EXPECT_EQ(figures.malformed, 5u);
    EXPECT_EQ(figures.repeats, 1u);
    EXPECT_EQ(figures.overCap, 0u);
    EXPECT_EQ(figures.datagrams, 4u);
}

// A flood of forged answers: a search keeps at most its cap of answers, says how many it left out, and the same
// answer sent thousands of times is one record per interface.
TEST(SearchDevice, aFloodOfAnswersKeepsAtMostTheCapAndCopiesOfOneAnswerCountOnce)
{
    static_assert(SearchDevice::kMaxAnswersPerSearch >= 4 * 256, "room for 256 recorders on two interfaces, twice");
    LoopbackPeer recorder;
    SearchDevice search;
    // A window long enough for every answer to be sent where sending is slow (thousands of datagrams take about
    // two seconds under Wine).
    aimAtPeer(search, recorder, { "127.0.0.1" }, 6000);
    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    ASSERT_TRUE(recorder.WaitForRequests(1));
    const uint16_t port = recorder.LastSenderPort();
    auto answer = [](uint32_t n) {
        const uint8_t mac[6] = { 2, 0x1b, 0, static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
            static_cast<uint8_t>(n) };
        return makeAnswer("HXT-914Q", mac, kIp, 80);
    };
    const uint32_t distinct = 2 * SearchDevice::kMaxAnswersPerSearch;
    const uint32_t copies = 3000;
    // Paced, so the system's receive buffer does not drop any: the count below is the searcher's alone. (Where the
    // system does not count its drops, as under Wine, a faster pace loses answers unseen.)
    for (uint32_t n = 0; n < distinct + copies; ++n) {
        ASSERT_TRUE(recorder.SendTo(port, answer(n < distinct ? n : 7)));
        if (n % 16 == 15) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ASSERT_TRUE(waitForDone(search, std::chrono::milliseconds(10000)));
    const auto figures = search.LastFigures();
    ASSERT_EQ(figures.dropped, 0u) << "the system dropped answers: the pacing is too fast for this machine";
    EXPECT_EQ(search.recordCount.load(), static_cast<int32_t>(SearchDevice::kMaxAnswersPerSearch));
    EXPECT_EQ(figures.overCap, distinct - SearchDevice::kMaxAnswersPerSearch);
    EXPECT_EQ(figures.repeats, copies);
    EXPECT_EQ(search.MacText(0), "02:1b:00:00:00:00") << "the first answers are the ones kept";
    EXPECT_EQ(search.FindByMac("02:1b:00:00:08:00"), -1) << "past the cap";
}

TEST(SearchDevice, secondStartCancelsTheFirstSearchTime)
{
    LoopbackPeer recorder([](const Bytes&) { return std::vector<Bytes> { makeAnswer("HXT-914Q", kMac, kIp, 80) }; });
    SearchDevice search;
    aimAtPeer(search, recorder, { "127.0.0.1" }, 800);

    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const auto restart = std::chrono::steady_clock::now();
    ASSERT_EQ(search.Start(), SearchDevice::Searching);

    // The first search time would have ended 400 ms after the restart.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(search.state.load(), SearchDevice::Searching);
    ASSERT_TRUE(waitForDone(search));
    const auto elapsed = std::chrono::steady_clock::now() - restart;
    EXPECT_GE(elapsed, std::chrono::milliseconds(790));
    // Only the second search's answer is collected: the first one's queue went with its endpoints.
    EXPECT_EQ(search.recordCount.load(), 1);
    EXPECT_EQ(recorder.Requests().size(), 2u);
}

TEST(SearchDevice, everyStartSearchesForSixSecondsWhateverTheWindowWasChangedTo)
{
    LoopbackPeer recorder;
    SearchDevice search;
    search.SetAddressSource([] { return std::vector<std::string> { "127.0.0.1" }; });
    search.SetSearchTarget("127.0.0.1", recorder.Port());
    search.searchTime = 100;
    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    EXPECT_EQ(search.searchTime, 6000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(search.state.load(), SearchDevice::Searching);
}

TEST(SearchDevice, collectionKeepsItsCountWhileAnswersKeepArriving)
{
    LoopbackPeer recorder([](const Bytes&) { return std::vector<Bytes> { makeAnswer("HXT-914Q", kMac, kIp, 80) }; });
    SearchDevice search;
    aimAtPeer(search, recorder, { "127.0.0.1", "127.0.0.1" }, 300);
    ASSERT_EQ(search.Start(), SearchDevice::Searching);
    ASSERT_TRUE(recorder.WaitForRequests(2));

    // A flood across the end of the search time: records are taken from a fixed count, the rest is left.
    const uint16_t port = recorder.LastSenderPort();
    Bytes answer = makeAnswer("HXT-914Q", kMac, kIp, 80);
    int sent = 0;
    while (search.state.load() == SearchDevice::Searching && sent < 200000) {
        // Bytes past the fields differ, so no answer is a copy of an earlier one.
        std::memcpy(answer.data() + 300, &sent, sizeof sent);
        recorder.SendTo(port, answer);
        ++sent;
    }
    ASSERT_TRUE(waitForDone(search));
    const int32_t count = search.recordCount.load();
    EXPECT_GE(count, 2);
    EXPECT_LE(count, sent + 2);
    for (int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(search.MacText(i), "00:1a:2b:3c:4d:5e") << i;
    }
}

TEST(SearchDevice, textFormsParseBackAsTheWizardReadsThem)
{
    struct IpCase
    {
        std::string text;
        bool parsed;
        std::array<uint8_t, 4> bytes;
    };
    const IpCase ipCases[] = {
        { "192.168.0.20", true, { 0xC0, 0xA8, 0x00, 0x14 } },
        { "192.168.0.20.", true, { 0xC0, 0xA8, 0x00, 0x14 } }, // an empty last piece is dropped
        { "192.168.0", false, { 9, 9, 9, 9 } }, // untouched
        { "1.2.3.4.5", false, { 9, 9, 9, 9 } },
        { "300.-1.x.99999999999999999999", true, { 44, 255, 0, 255 } }, // low 8 bits of the decimal value
        { "", false, { 9, 9, 9, 9 } },
    };
    for (const auto& c : ipCases) {
        std::array<uint8_t, 4> out { 9, 9, 9, 9 };
        EXPECT_EQ(SearchDevice::ParseIpText(c.text, out), c.parsed) << c.text;
        EXPECT_EQ(out, c.bytes) << c.text;
    }

    struct MacCase
    {
        std::string text;
        bool parsed;
        std::array<uint8_t, 6> bytes;
    };
    const MacCase macCases[] = {
        { "00:1a:2b:3c:4d:5e", true, { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E } },
        { "00:1A:2B:3C:4D:5E", true, { 0x00, 0x01, 0x02, 0x03, 0x04, 0x05 } }, // upper case is skipped
        { "00:1a:2b:3c:4d", false, { 9, 9, 9, 9, 9, 9 } },
        { "fff:1:2:3:4:5", true, { 0xFF, 1, 2, 3, 4, 5 } },
    };
    for (const auto& c : macCases) {
        std::array<uint8_t, 6> out { 9, 9, 9, 9, 9, 9 };
        EXPECT_EQ(SearchDevice::ParseMacText(c.text, out), c.parsed) << c.text;
        EXPECT_EQ(out, c.bytes) << c.text;
        if (c.parsed && c.text == "00:1a:2b:3c:4d:5e") {
            EXPECT_EQ(MacToText(out.data()), c.text);
        }
    }
}

TEST(SearchDevice, recorderOnTwoLinksAnswersTheBroadcastOfEachAndTheSearchEndsAfterSixSeconds)
{
    // A namespace of the test's own with two links up and one down: the product's path runs, from the
    // interface list through a bound endpoint per address to the limited broadcast on port 62976 (which
    // needs SO_BROADCAST). The recorder stand-in listens on 0.0.0.0:62976 there.
    const std::string result = RunInOwnNetns(
        { "ip link set lo up", "ip link add v0 type veth peer name v1", "ip link add v2 type veth peer name v3",
            "ip addr add 10.99.1.1/24 dev v0", "ip addr add 10.99.2.1/24 dev v1", "ip addr add 10.99.3.1/24 dev v2",
            "ip link set v0 up", "ip link set v1 up" },
        [] {
            LoopbackPeer recorder(
                [](const Bytes&) { return std::vector<Bytes> { makeAnswer("HXT-914Q", kMac, kIp, 8080) }; }, true,
                kRecorderPort);
            recorder.answerOncePerSender = true;
            SearchDevice search;
            const auto start = std::chrono::steady_clock::now();
            if (search.Start() != SearchDevice::Searching) {
                return std::string("the broadcast was not sent");
            }
            // One endpoint per address of an interface that is up (v2 is down), in the system's order.
            const std::set<std::string> bound = { search.LocalAddress(0), search.LocalAddress(1) };
            if (search.EndpointCount() != 2 || bound != std::set<std::string> { "10.99.1.1", "10.99.2.1" }) {
                return "endpoints " + std::to_string(search.EndpointCount()) + ": " + search.LocalAddress(0) + ", "
                    + search.LocalAddress(1);
            }
            while (search.state.load() == SearchDevice::Searching) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (seconds < 5.9 || seconds > 9.0) {
                return "search time " + std::to_string(seconds) + " s";
            }
            if (search.recordCount.load() != 2) {
                return "records: " + std::to_string(search.recordCount.load());
            }
            const auto first = search.Record(0);
            const auto second = search.Record(1);
            if (first->interfaceIndex != 0 || first->unique != 1 || second->interfaceIndex != 1
                || second->unique != 0) {
                return std::string("the repeat on the second link is not marked");
            }
            return search.InterfaceForIp("10.77.0.10") == 0 ? std::string() : std::string("lookup");
        });
    if (result.rfind("skip:", 0) == 0) {
        GTEST_SKIP() << result;
    }
    EXPECT_EQ(result, "");
}
