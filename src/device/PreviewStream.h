#pragma once
// The live preview's picture thread: asks a camera for its picture stream, cuts the first picture of each
// response, hands it to a handler on the thread and asks again about every half second, until stopped.

#include "device/PictureCutter.h"
#include "net/HttpGet.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class PreviewStream
{
public:
    struct Endpoint
    {
        std::string host;
        int port = 80;
    };

    // The camera's address text: "a.b.c.d:port" gives that port when it is a number from 1 to 65535; a bare
    // "a.b.c.d:", a plain "a.b.c.d" and any other port text give 80. The host is the text before the first ":".
    static Endpoint ParseAddress(std::string_view address);

    // How the thread paces itself (tests shorten it).
    struct Pacing
    {
        int firstRequestDelayMs = 500; // after the connection was prepared
        int pictureGapMs = 500; // after each response, before the next request
        int retryDelayMs = 1000; // after a request that failed
        int readPauseMs = 50; // after a read that drained what had arrived
        uint32_t timeoutMs = 3000; // connect limit and longest silence while reading
    };

    // Called on the stream's thread with a whole picture (valid only during the call). It must not call Stop.
    using PictureHandler = std::function<void(std::string_view picture)>;

    static constexpr const char* kPath = "/image/jpeg.cgi";
    static constexpr size_t kReadSize = 8200;

    PreviewStream();
    ~PreviewStream(); // stops
    PreviewStream(const PreviewStream&) = delete;
    PreviewStream& operator=(const PreviewStream&) = delete;

    // Starts the thread for the camera at `address` (stops one that runs first).
    void Start(const std::string& address, const std::string& user, const std::string& password, PictureHandler handler,
        Pacing pacing);
    void Start(const std::string& address, const std::string& user, const std::string& password, PictureHandler handler)
    {
        Start(address, user, password, std::move(handler), Pacing());
    }

    // Clears the run flag, closes the connection (a request or read in progress returns at once), then waits for
    // the thread. Safe to call more than once; never from the handler.
    void Stop();

    bool Running() const { return thread.joinable(); }

    // What the thread did so far (requests sent, pictures handed out, responses given up for overflow).
    int Requests() const { return requests.load(); }
    int Pictures() const { return pictures.load(); }
    int Overflows() const { return overflows.load(); }

private:
    void run(Endpoint endpoint, std::string user, std::string password, PictureHandler handler, Pacing pacing);
    // Waits ms or until stopped; true while the run flag is still set.
    bool pause(int ms);

    std::unique_ptr<HttpGet> http;
    std::thread thread;
    std::atomic<bool> runFlag { false };
    std::mutex pauseMutex;
    std::condition_variable pauseWake;
    std::atomic<int> requests { 0 };
    std::atomic<int> pictures { 0 };
    std::atomic<int> overflows { 0 };
};
