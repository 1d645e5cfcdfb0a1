// The disk and camera steps against a scripted recorder on loopback: a format the recorder refuses fails at once,
// progress left from the disk before is never taken for the next one's, and a camera search answered with an error
// page lists no camera and says the answer could not be read.
#include "RawHttpServer.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "setup/steps/CameraStep.h"
#include "setup/steps/DiskStep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string PathOf(const RawRequest& request)
{
    const std::string line = request.requestLine();
    const size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

std::string StorageInfo(bool plugged, int fsCode)
{
    if (!plugged)
        return "plug=0\r\nready=0\r\ntype=usb\r\nusedpartition=0\r\n";
    return "plug=1\r\nready=1\r\ntype=usb\r\nmodelname=Disk\r\nusedpartition=1\r\npartitioninfo1=1,/dev/sda1,2048,"
           "1000,990,"
        + std::to_string(fsCode) + "\r\n";
}

RecorderAccess Recorder(const RawHttpServer& server)
{
    return RecorderAccess { "127.0.0.1", "00:1a:2b:3c:4d:5e", "admin", "pw", server.port() };
}

// HD1 formats to its end; HD2 was pulled meanwhile, and the recorder answers its format command in one of several
// ways. The poll names no disk and still says 100 (HD1's). HD2 is never reported formatted, and a refusal ends the
// work without a poll.
TEST(DiskStep, progressBelongsToItsDiskAndARefusedFormatFailsAtOnce)
{
    const struct
    {
        const char* name;
        int formatStatus; // HD2's format command
        const char* formatBody;
        bool pollsHd2; // whether the step polls after HD2's format command
    } cases[] = {
        { "refused with 400", 400, "<html>400 Bad Request</html>", false },
        { "failed with 500", 500, "<html>500 Internal Server Error</html>", false },
        { "taken, but the disk is gone", 200, "result=fail\r\nreason=no disk\r\n", true },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        std::mutex lock;
        std::vector<std::string> seen;
        RawHttpServer server([&](size_t, const RawRequest& request) {
            const std::string path = PathOf(request);
            std::lock_guard<std::mutex> guard(lock);
            seen.push_back(path);
            if (path.rfind("/config/storageformat?storageid=1", 0) == 0)
                return RawResponse::make(entry.formatStatus, entry.formatBody);
            if (path.rfind("/config/storageformat?", 0) == 0)
                return RawResponse::make(200, "result=ok\r\n");
            if (path == "/config/storageformatpoll")
                return RawResponse::make(200, "status=100\r\n");
            if (path == "/config/storageinfo?storageid=0")
                return RawResponse::make(200, StorageInfo(true, 2));
            if (path == "/config/storageinfo?storageid=1")
                return RawResponse::make(200, StorageInfo(false, 0));
            return RawResponse::make(404, "");
        });
        NvrClient client;
        DiskStep step(client);
        const auto started = Clock::now();
        step.StartFormat(Recorder(server), { true, true }, { 2, 2 });
        while (step.Poll() != StepPhase::Finished && Clock::now() - started < std::chrono::seconds(40))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const DiskResult result = step.Result();
        EXPECT_TRUE(result.formatted[0]);
        EXPECT_FALSE(result.formatted[1]) << "HD1's 100 % read as HD2's";
        EXPECT_EQ(result.outcome, StepOutcome::Failed);
        EXPECT_NE(result.reason.find("HD2 was not formatted"), std::string::npos) << result.reason;
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(15)) << "a refusal is a failure at once";
        std::lock_guard<std::mutex> guard(lock);
        const auto hd2Format = std::find_if(seen.begin(), seen.end(),
            [](const std::string& path) { return path.rfind("/config/storageformat?storageid=1", 0) == 0; });
        ASSERT_NE(hd2Format, seen.end());
        EXPECT_EQ(std::find(hd2Format, seen.end(), "/config/storageformatpoll") != seen.end(), entry.pollsHd2);
    }
}

// A camera search answered with the recorder's error page: no camera is made of its lines, and the outcome says
// the answer could not be read (not "no camera"), so the cameras known before still stand.
TEST(CameraStep, aSearchAnsweredWithAnErrorPageListsNothingAndIsUnreadable)
{
    const struct
    {
        int status;
        const char* body;
        CameraResult::Search search;
        size_t lines;
    } cases[] = {
        { 500, "<html><body>1;10.77.0.9;00:3e:0b:00:00:09;b;M</body></html>\r\n", CameraResult::Search::Unreadable, 0 },
        { 503, "Service Unavailable\r\n", CameraResult::Search::Unreadable, 0 },
        { 200, "0;10.77.0.9;00:3e:0b:00:00:09;b;M\r\n", CameraResult::Search::Listed, 1 },
        // A refusal is the recorder's word: the search failed.
        { 409, "", CameraResult::Search::Failed, 0 },
        { 404, "<html>1;10.77.0.9</html>\r\n", CameraResult::Search::Failed, 0 },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.status);
        RawHttpServer server([&](size_t, const RawRequest& request) {
            return PathOf(request) == "/config/languages" ? RawResponse::make(200, "")
                                                           : RawResponse::make(entry.status, entry.body);
        });
        NvrClient client;
        client.SetFixedPortConnection(server.port(), false);
        SearchDevice discovery;
        CameraStep step(discovery, client);
        const CameraResult result = step.Discover(Recorder(server), 256);
        EXPECT_EQ(result.search, entry.search);
        EXPECT_EQ(result.lines.size(), entry.lines);
    }
}

} // namespace
