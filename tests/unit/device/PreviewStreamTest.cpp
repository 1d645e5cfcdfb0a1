// The preview's picture thread against scripted loopback cameras: the address text's port, one picture per
// request, error pages, overflow, and how fast it stops in the middle of a picture.
#include "device/PreviewStream.h"
#include "RawHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string FakePicture(const std::string& label)
{
    // Start marker, a comment segment with the label, a scan header, data and the end marker.
    const std::string comment = "\xFF\xFE" + std::string(1, '\0') + static_cast<char>(label.size() + 2) + label;
    return "\xFF\xD8" + comment + std::string("\xFF\xDA\x00\x04\x01\x02", 6) + "data" + "\xFF\xD9";
}

std::string StreamHead(const char* contentType = "image/jpeg")
{
    return std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + contentType + "\r\nConnection: close\r\n\r\n";
}

PreviewStream::Pacing Quick()
{
    PreviewStream::Pacing pacing;
    pacing.firstRequestDelayMs = 0;
    pacing.pictureGapMs = 20;
    pacing.retryDelayMs = 50;
    pacing.readPauseMs = 5;
    return pacing;
}

// Collects what the thread hands out.
struct Pictures
{
    std::mutex mutex;
    std::vector<std::string> seen;
    PreviewStream::PictureHandler handler()
    {
        return [this](std::string_view picture) {
            std::lock_guard<std::mutex> lock(mutex);
            seen.emplace_back(picture);
        };
    }
    size_t count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return seen.size();
    }
    bool waitFor(size_t n, int ms = 5000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (count() < n && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return count() >= n;
    }
};

TEST(PreviewStream, addressTextGivesHostAndPort)
{
    struct Row
    {
        const char* address;
        const char* host;
        int port;
    };
    const Row rows[] = {
        { "10.77.0.31:8080", "10.77.0.31", 8080 },
        { "10.77.0.31:", "10.77.0.31", 80 },
        { "10.77.0.31", "10.77.0.31", 80 },
        { "10.77.0.31:0", "10.77.0.31", 80 },
        { "10.77.0.31:65535", "10.77.0.31", 65535 },
        { "10.77.0.31:65536", "10.77.0.31", 80 },
        { "10.77.0.31:80x", "10.77.0.31", 80 },
        { "10.77.0.31:-1", "10.77.0.31", 80 },
        { "10.77.0.31:8080:1", "10.77.0.31", 80 },
        { "", "", 80 },
    };
    for (const Row& row : rows) {
        const auto endpoint = PreviewStream::ParseAddress(row.address);
        EXPECT_EQ(endpoint.host, row.host) << row.address;
        EXPECT_EQ(endpoint.port, row.port) << row.address;
    }
}

TEST(PreviewStream, cutsTheFirstPictureOfEachResponseAndAsksAgain)
{
    // Each response: a multipart part header, two pictures in one piece, then silence.
    RawHttpServer camera([](size_t index, const RawRequest&) {
        RawResponse response;
        response.kind = RawResponse::Kind::Silent;
        response.bytes = StreamHead("multipart/x-mixed-replace; boundary=f") + "--f\r\nContent-Type: image/jpeg\r\n\r\n"
            + FakePicture("first" + std::to_string(index)) + FakePicture("second");
        return response;
    });
    Pictures pictures;
    PreviewStream stream;
    stream.Start("127.0.0.1:" + std::to_string(camera.port()), "admin", "secret", pictures.handler(), Quick());
    ASSERT_TRUE(pictures.waitFor(3));
    stream.Stop();
    EXPECT_EQ(pictures.seen[0], FakePicture("first0"));
    EXPECT_EQ(pictures.seen[1], FakePicture("first1"));
    EXPECT_EQ(pictures.seen[2], FakePicture("first2"));
    for (const RawRequest& request : camera.requests())
        EXPECT_EQ(request.requestLine(), "GET /image/jpeg.cgi HTTP/1.1");
}

TEST(PreviewStream, errorPagesAreNotPicturesAndAreAskedAgain)
{
    RawHttpServer camera([](size_t index, const RawRequest&) {
        if (index == 0)
            return RawResponse::make(404, FakePicture("error page"));
        RawResponse response;
        response.kind = RawResponse::Kind::Silent;
        response.bytes = StreamHead() + FakePicture("real");
        return response;
    });
    Pictures pictures;
    PreviewStream stream;
    stream.Start("127.0.0.1:" + std::to_string(camera.port()), "admin", "", pictures.handler(), Quick());
    ASSERT_TRUE(pictures.waitFor(1));
    stream.Stop();
    EXPECT_EQ(pictures.seen[0], FakePicture("real"));
}

TEST(PreviewStream, overflowStartsANewRequest)
{
    // The first response is a picture that never ends; the next ones are good.
    RawHttpServer camera([](size_t index, const RawRequest&) {
        RawResponse response;
        if (index == 0) {
            response.kind = RawResponse::Kind::Endless;
            response.bytes = StreamHead() + std::string("\xFF\xD8\xFF\xDA\x00\x02", 6);
            response.pieces = { std::string(65536, 'z') };
        } else {
            response.kind = RawResponse::Kind::Silent;
            response.bytes = StreamHead() + FakePicture("after");
        }
        return response;
    });
    Pictures pictures;
    PreviewStream stream;
    stream.Start("127.0.0.1:" + std::to_string(camera.port()), "admin", "", pictures.handler(), Quick());
    ASSERT_TRUE(pictures.waitFor(1, 15000));
    stream.Stop();
    EXPECT_EQ(stream.Overflows(), 1);
    EXPECT_EQ(pictures.seen[0], FakePicture("after"));
}

TEST(PreviewStream, stopsPromptlyInTheMiddleOfAPicture)
{
    // Half a picture, then the camera says nothing more (the read waits up to its 3000 ms silence limit).
    RawHttpServer camera([](size_t, const RawRequest&) {
        RawResponse response;
        response.kind = RawResponse::Kind::Silent;
        const std::string picture = FakePicture("stalled");
        response.bytes = StreamHead() + picture.substr(0, picture.size() / 2);
        return response;
    });
    Pictures pictures;
    PreviewStream stream;
    stream.Start("127.0.0.1:" + std::to_string(camera.port()), "admin", "", pictures.handler(), Quick());
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (camera.requests().empty() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // well inside the read
    const auto before = Clock::now();
    stream.Stop();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before).count();
    EXPECT_LT(took, 1000);
    EXPECT_EQ(pictures.count(), 0u);
    EXPECT_FALSE(stream.Running());
}

} // namespace
