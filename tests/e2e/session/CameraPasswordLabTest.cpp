// The camera password workers against the simulator's cameras in the lab (cameras.conf): the login and
// set-password datagrams for protocol type 0, the camera CGI otherwise, the port a camera is reached on, jobs that
// cannot be sent refused with nothing sent, and Stop ending a job at once. What the cameras were asked and hold is
// read from the simulator's state file.
#include "discovery/SearchDevice.h"
#include "session/CreatePasswordWorker.h"
#include "session/VerifyWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::string simulatorState()
{
    const char* path = std::getenv("LAB_SIM_STATE");
    std::ifstream in(path != nullptr ? path : "");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A text field of the simulator's camera NAME in its state file.
std::string cameraField(const std::string& name, const std::string& field)
{
    const std::string state = simulatorState();
    const size_t camera = state.find("\"name\": \"" + name + "\"");
    if (camera == std::string::npos)
        return "<no camera " + name + ">";
    const std::string key = "\"" + field + "\": \"";
    const size_t at = state.find(key, camera);
    if (at == std::string::npos)
        return "<no field " + field + ">";
    const size_t start = at + key.size();
    return state.substr(start, state.find('"', start) - start);
}

// How many requests the simulator has seen (every datagram and HTTP request counts).
long eventCount()
{
    const std::string state = simulatorState();
    const std::string key = "\"eventCount\": ";
    const size_t at = state.find(key);
    return at == std::string::npos ? -1 : std::atol(state.c_str() + at + key.size());
}

CameraPasswordJob Job(CameraPasswordJob::Kind kind, const std::string& mac, const std::string& address, bool udp,
    const std::string& password, const std::string& oldPassword = "")
{
    CameraPasswordJob job;
    job.kind = kind;
    job.mac = mac;
    job.address = address;
    job.useUdp = udp;
    job.password = password;
    job.oldPassword = oldPassword;
    job.row = 3;
    job.generation = 7;
    job.model = "QC-210";
    return job;
}

// What a worker reported.
struct Outcome
{
    std::mutex lock;
    std::condition_variable changed;
    int reports = 0;
    bool accepted = false;
    CameraPasswordJob job;

    CameraPasswordWorker::Report Reporter()
    {
        return [this](const CameraPasswordJob& done, bool taken) {
            std::lock_guard<std::mutex> guard(lock);
            ++reports;
            accepted = taken;
            job = done;
            changed.notify_all();
        };
    }

    int Reports()
    {
        std::lock_guard<std::mutex> guard(lock);
        return reports;
    }

    bool WaitForReport(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, limit, [this] { return reports > 0; });
    }
};

std::unique_ptr<CameraPasswordWorker> MakeWorker(SearchDevice& discovery, const CameraPasswordJob& job, Outcome& out)
{
    if (job.kind == CameraPasswordJob::Create)
        return std::make_unique<CreatePasswordWorker>(discovery, job, out.Reporter());
    return std::make_unique<VerifyWorker>(discovery, job, out.Reporter());
}

class CameraPasswordLab : public ::testing::Test
{
protected:
    // One search for every test: the cameras that answer it are in the discovery table.
    static void SetUpTestSuite()
    {
        discovery = new SearchDevice;
        discovery->SetSearchWindow(1500);
        ASSERT_EQ(discovery->Start(), SearchDevice::Searching);
        const auto end = Clock::now() + 10s;
        while (discovery->state.load() == SearchDevice::Searching && Clock::now() < end)
            std::this_thread::sleep_for(20ms);
        ASSERT_EQ(discovery->state.load(), SearchDevice::SearchDone);
        ASSERT_GE(discovery->FindByMac("00:3e:0b:00:01:01"), 0) << "the datagram camera answers the search";
        ASSERT_LT(discovery->FindByMac("00:3e:0b:00:01:04"), 0) << "the camera on 8080 does not";
    }
    static void TearDownTestSuite()
    {
        delete discovery;
        discovery = nullptr;
    }

    // Runs the job to its outcome (the worker ends with the call).
    static bool Run(const CameraPasswordJob& job)
    {
        Outcome out;
        auto worker = MakeWorker(*discovery, job, out);
        worker->Start();
        EXPECT_TRUE(out.WaitForReport(20s)) << job.address;
        EXPECT_EQ(out.reports, 1);
        EXPECT_EQ(out.job.mac, job.mac) << "reported with the job it was given";
        EXPECT_EQ(out.job.row, job.row);
        EXPECT_EQ(out.job.generation, job.generation);
        EXPECT_EQ(out.job.password, job.password);
        return out.accepted;
    }

    static SearchDevice* discovery;
};

SearchDevice* CameraPasswordLab::discovery = nullptr;

constexpr auto Verify = CameraPasswordJob::Verify;
constexpr auto Create = CameraPasswordJob::Create;

TEST_F(CameraPasswordLab, datagramCamerasLogInAndTakeANewPassword)
{
    EXPECT_TRUE(Run(Job(Verify, "00:3e:0b:00:01:01", "10.77.0.20", true, "Cam12345")));
    EXPECT_FALSE(Run(Job(Verify, "00:3e:0b:00:01:01", "10.77.0.20", true, "Cam1234")));
    EXPECT_FALSE(Run(Job(Verify, "00:3e:0b:00:01:01", "10.77.0.20", true, "")));
    // A MAC listed in upper case is the same camera.
    EXPECT_TRUE(Run(Job(Verify, "00:3E:0B:00:01:01", "10.77.0.20", true, "Cam12345")));

    // The change is authenticated with the known password; a percent sign goes as it is.
    EXPECT_FALSE(Run(Job(Create, "00:3e:0b:00:01:02", "10.77.0.21", true, "Ab%cd123", "guess")));
    EXPECT_EQ(cameraField("dgramnew", "password"), "");
    EXPECT_TRUE(Run(Job(Create, "00:3e:0b:00:01:02", "10.77.0.21", true, "Ab%cd123", "")));
    EXPECT_EQ(cameraField("dgramnew", "password"), "Ab%cd123");
    EXPECT_TRUE(Run(Job(Verify, "00:3e:0b:00:01:02", "10.77.0.21", true, "Ab%cd123")));
}

TEST_F(CameraPasswordLab, cgiCamerasAreReachedOnTheSearchPortElseOnThePortInTheirAddress)
{
    // Not in the discovery table: the ":8080" of its address is where it listens.
    EXPECT_TRUE(Run(Job(Verify, "00:3e:0b:00:01:04", "10.77.0.23:8080", false, "Cam12345")));
    EXPECT_FALSE(Run(Job(Verify, "00:3e:0b:00:01:04", "10.77.0.23:8080", false, "Cam1234")));
    // Listed without a port, it answered the search with its web port 8081.
    EXPECT_TRUE(Run(Job(Create, "00:3e:0b:00:01:05", "10.77.0.24", false, "Ab%cd#12", "")));
    EXPECT_EQ(cameraField("webnew", "password"), "Ab%cd#12");
    EXPECT_TRUE(Run(Job(Verify, "00:3e:0b:00:01:05", "10.77.0.24", false, "Ab%cd#12")));
    EXPECT_FALSE(Run(Job(Create, "00:3e:0b:00:01:05", "10.77.0.24", false, "Other123", "wrong")));
    EXPECT_EQ(cameraField("webnew", "password"), "Ab%cd#12");
}

TEST_F(CameraPasswordLab, aChangeConfirmedLateInTheAnswerCountsOnceTheNewPasswordLogsIn)
{
    // The camera confirms after byte 128 of its answer: a login with the new password shows the change took.
    EXPECT_TRUE(Run(Job(Create, "00:3e:0b:00:01:0a", "10.77.0.29", false, "Late1234", "")));
    EXPECT_EQ(cameraField("lateecho", "password"), "Late1234");
    // A change the camera refused (authenticated with a wrong password) stays refused: the new one does not log in.
    EXPECT_FALSE(Run(Job(Create, "00:3e:0b:00:01:0a", "10.77.0.29", false, "Other123", "wrong")));
    EXPECT_EQ(cameraField("lateecho", "password"), "Late1234");
}

TEST_F(CameraPasswordLab, jobsThatCannotBeSentAreRefusedAtOnceWithNothingSent)
{
    const struct
    {
        const char* what;
        CameraPasswordJob job;
    } cases[] = {
        { "datagram camera not in the discovery table",
            Job(Verify, "00:3e:0b:00:01:03", "10.77.0.22", true, "Cam12345") },
        { "and its password change", Job(Create, "00:3e:0b:00:01:03", "10.77.0.22", true, "New12345", "Cam12345") },
        { "MAC of five bytes", Job(Verify, "00:3e:0b:00:01", "10.77.0.20", true, "Cam12345") },
        { "MAC with a stray letter", Job(Verify, "00:3e:0b:00:01:0g", "10.77.0.20", true, "Cam12345") },
        { "MAC of three digits", Job(Verify, "00:3e:0b:00:01:001", "10.77.0.20", true, "Cam12345") },
        { "no MAC", Job(Verify, "", "10.77.0.20", true, "Cam12345") },
        { "no address", Job(Verify, "00:3e:0b:00:01:01", "", true, "Cam12345") },
        { "no address, CGI", Job(Verify, "00:3e:0b:00:01:04", "", false, "Cam12345") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const long before = eventCount();
        const auto start = Clock::now();
        EXPECT_FALSE(Run(c.job));
        EXPECT_LT(Clock::now() - start, 1s) << "refused without waiting for an answer";
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(eventCount(), before) << "nothing reached any device";
    }
    EXPECT_EQ(cameraField("hidden", "password"), "Cam12345");
}

TEST_F(CameraPasswordLab, stopEndsAJobAtOnceAndItIsRefused)
{
    const struct
    {
        const char* what;
        CameraPasswordJob job;
    } cases[] = {
        { "CGI camera that never answers", Job(Verify, "00:3e:0b:00:01:06", "10.77.0.25", false, "Cam12345") },
        { "datagram camera that never answers", Job(Verify, "00:3e:0b:00:01:07", "10.77.0.26", true, "Cam12345") },
        { "its password change", Job(Create, "00:3e:0b:00:01:07", "10.77.0.26", true, "New12345", "") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome out;
        auto worker = MakeWorker(*discovery, c.job, out);
        worker->Start();
        std::this_thread::sleep_for(400ms);
        ASSERT_TRUE(worker->Running());
        ASSERT_EQ(out.Reports(), 0) << "sent, and waiting for the answer";
        const auto start = Clock::now();
        worker->Stop();
        EXPECT_LT(Clock::now() - start, 500ms);
        EXPECT_FALSE(worker->Running());
        EXPECT_EQ(out.reports, 1);
        EXPECT_FALSE(out.accepted);
    }
}

TEST_F(CameraPasswordLab, aWorkerStaysRunningForASecondAfterItsOutcome)
{
    Outcome out;
    auto worker = MakeWorker(*discovery, Job(Verify, "00:3e:0b:00:01:01", "10.77.0.20", true, "Cam12345"), out);
    worker->Start();
    ASSERT_TRUE(out.WaitForReport(10s));
    EXPECT_TRUE(out.accepted);
    EXPECT_TRUE(worker->Running()) << "an OK pressed now waits for the worker's end";
    EXPECT_TRUE(worker->Decided());
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(worker->Running());
}

} // namespace
