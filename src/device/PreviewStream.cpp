#include "device/PreviewStream.h"

#include <chrono>
#include <vector>

PreviewStream::Endpoint PreviewStream::ParseAddress(std::string_view address)
{
    Endpoint endpoint;
    const size_t colon = address.find(':');
    endpoint.host = std::string(address.substr(0, colon));
    if (colon == std::string_view::npos)
        return endpoint;
    const std::string_view digits = address.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return endpoint;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return endpoint;
        port = port * 10 + (c - '0');
    }
    if (port >= 1 && port <= 65535)
        endpoint.port = port;
    return endpoint;
}

PreviewStream::PreviewStream()
    : http(std::make_unique<HttpGet>())
{
}

PreviewStream::~PreviewStream()
{
    Stop();
}

void PreviewStream::Start(const std::string& address, const std::string& user, const std::string& password,
    PictureHandler handler, Pacing pacing)
{
    Stop();
    runFlag.store(true);
    thread = std::thread(&PreviewStream::run, this, ParseAddress(address), user, password, std::move(handler), pacing);
}

void PreviewStream::Stop()
{
    {
        std::lock_guard<std::mutex> lock(pauseMutex);
        runFlag.store(false);
    }
    pauseWake.notify_all();
    if (!thread.joinable())
        return;
    http->Close(); // a request or read blocked on the camera returns now
    thread.join();
}

bool PreviewStream::pause(int ms)
{
    std::unique_lock<std::mutex> lock(pauseMutex);
    pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !runFlag.load(); });
    return runFlag.load();
}

void PreviewStream::run(
    Endpoint endpoint, std::string user, std::string password, PictureHandler handler, Pacing pacing)
{
    // A connection that cannot be prepared is tried once more; the requests then fail and are retried.
    auto open = [&] {
        const bool opened = http->Open(endpoint.host, user, password, pacing.timeoutMs, 0, endpoint.port,
            HttpGet::CertificateCheck::Relaxed, HttpGet::ProxyUse::Never);
        http->AllowEndlessBody(); // the picture stream: read for as long as pictures come
        return opened;
    };
    if (!open())
        open();
    pause(pacing.firstRequestDelayMs);

    PictureCutter cutter;
    std::vector<char> chunk(kReadSize);
    while (runFlag.load()) {
        requests.fetch_add(1);
        // A Digest challenge is answered on the same connection; an error page is never read as a picture.
        int status = 0;
        if (!http->GetAuthorised(kPath) || !http->QueryStatusCode(status) || status < 200 || status > 299) {
            pause(pacing.retryDelayMs);
            continue;
        }
        cutter.Reset();
        while (runFlag.load()) {
            size_t got = 0;
            if (!http->ReadChunk(chunk.data(), chunk.size(), got) || got == 0)
                break; // failed, silent past the time-out, closed, or the response ended
            const PictureCutter::Outcome outcome = cutter.Feed(chunk.data(), got);
            if (outcome == PictureCutter::Outcome::Picture) {
                pictures.fetch_add(1);
                handler(cutter.Picture());
                break;
            }
            if (outcome == PictureCutter::Outcome::Overflow) {
                overflows.fetch_add(1); // no picture fits: a new request, not reading and dropping forever
                break;
            }
            // A read that drained what had arrived waits a little, so a slow picture costs few wake-ups; a
            // full one reads on at once.
            if (got < chunk.size() && !pause(pacing.readPauseMs))
                break;
        }
        if (runFlag.load())
            pause(pacing.pictureGapMs);
    }
    http->Close();
}
