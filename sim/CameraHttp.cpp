// Camera CGI requests and the picture stream.
#include "CameraHttp.h"

#include "SimState.h"
#include "TestPicture.h"

#include <chrono>
#include <cstring>
#include <ctime>

namespace {

// What a picture stream sends besides whole pictures.
struct StreamShape
{
    int fps = 4;
    bool multipart = false;
    int width = 320;
    int height = 240;
    bool noEndMarker = false; // pictures lack their FF D9
    bool embeddedEnd = false; // each picture carries a comment holding a small picture with its own FF D9
    bool undecodable = false; // FF D8, bytes that decode to nothing, FF D9
    long stallAfter = -1; // the stream stops after this many bytes of its first picture (-1: never, -2: half)
};

// Pictures at the camera's rate, for as long as the client reads (or until the simulator stops).
class JpegStream : public StreamSource
{
public:
    JpegStream(SimState& state, std::string camera, std::string label, StreamShape shape)
        : state(state)
        , camera(std::move(camera))
        , label(std::move(label))
        , shape(shape)
        , start(std::chrono::steady_clock::now())
    {
        state.update([&](SimState& s) {
            CameraState* c = s.camera(this->camera);
            ++c->streamsOpened;
            ++c->streamsOpen;
        });
    }

    ~JpegStream() override
    {
        state.update([&](SimState& s) { --s.camera(camera)->streamsOpen; });
    }

    long read(char* buffer, size_t max) override
    {
        if (offset == pending.size()) {
            auto due = start + std::chrono::milliseconds(frame * 1000 / shape.fps);
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
            if (wait.count() > 0 && !HttpServer::pause(wait.count())) {
                return -2;
            }
            if (HttpServer::stopping) {
                return -2;
            }
            nextPicture();
        }
        size_t end = pending.size();
        if (stallAt != std::string::npos) {
            if (offset >= stallAt) {
                // Stalled in the middle of the picture: nothing more until the simulator stops.
                while (HttpServer::pause(200)) { }
                return -2;
            }
            end = stallAt;
        }
        size_t n = std::min(max, end - offset);
        std::memcpy(buffer, pending.data() + offset, n);
        offset += n;
        return static_cast<long>(n);
    }

private:
    std::string picture(long long tick, const std::string& stamp)
    {
        if (shape.undecodable) {
            return "\xFF\xD8" + std::string(2000, '\x55') + "\xFF\xD9";
        }
        // Large pictures are drawn once: encoding millions of pixels per frame would slow the whole simulator.
        const bool large = static_cast<long long>(shape.width) * shape.height > 2000000;
        if (large && !cachedLarge.empty()) {
            return cachedLarge;
        }
        std::string bytes
            = TestPicture::jpeg(tick, label + " #" + std::to_string(frame), stamp, shape.width, shape.height);
        if (large) {
            cachedLarge = bytes;
        }
        return bytes;
    }

    void nextPicture()
    {
        auto now = std::chrono::system_clock::now();
        std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        int ms = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
        std::tm utc {};
        gmtime_r(&seconds, &utc);
        char stamp[96];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", utc.tm_year + 1900, utc.tm_mon + 1,
            utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms);
        // The picture follows the clock, not this stream: a client that asks again for every picture
        // still sees it move.
        long long tick
            = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() * shape.fps / 1000;
        std::string bytes = picture(tick, stamp);
        if (shape.embeddedEnd && bytes.size() >= 2) {
            // A comment segment right after the start marker holding a whole small picture, end marker included.
            static const char thumbnail[] = "thumbnail \xFF\xD8\xFF\xFE\x00\x04"
                                            "ab\xFF\xD9 end";
            const std::string inner(thumbnail, sizeof thumbnail - 1);
            const size_t length = inner.size() + 2;
            std::string segment = "\xFF\xFE";
            segment += static_cast<char>(length >> 8);
            segment += static_cast<char>(length & 0xFF);
            bytes.insert(2, segment + inner);
        }
        if (shape.noEndMarker && bytes.size() >= 2) {
            bytes.resize(bytes.size() - 2); // the trailing FF D9
        }
        if (frame == 0 && shape.stallAfter != -1) {
            size_t head = 0;
            if (shape.multipart) {
                head = std::string("--hxtframe\r\nContent-Type: image/jpeg\r\nContent-Length: ").size()
                    + std::to_string(bytes.size()).size() + 4;
            }
            const size_t part = shape.stallAfter < 0 ? bytes.size() / 2 : static_cast<size_t>(shape.stallAfter);
            stallAt = head + std::min(part, bytes.size() - 1);
        }
        if (shape.multipart) {
            pending = "--hxtframe\r\nContent-Type: image/jpeg\r\nContent-Length: " + std::to_string(bytes.size())
                + "\r\n\r\n" + bytes + "\r\n";
        } else {
            pending = std::move(bytes);
        }
        offset = 0;
        ++frame;
        state.update([&](SimState& s) { ++s.camera(camera)->framesSent; });
    }

    SimState& state;
    std::string camera;
    std::string label;
    StreamShape shape;
    std::chrono::steady_clock::time_point start;
    long long frame = 0;
    std::string pending;
    size_t offset = 0;
    size_t stallAt = std::string::npos;
    std::string cachedLarge;
};

} // namespace

CameraHttp::CameraHttp(SimState& state, std::string name)
    : state(state)
    , name(std::move(name))
{
}

HttpReply::Challenge CameraHttp::challengeFor(const std::string& auth)
{
    if (auth == "basic") {
        return HttpReply::Challenge::Basic;
    }
    if (auth == "digest") {
        return HttpReply::Challenge::Digest;
    }
    return HttpReply::Challenge::BasicAndDigest;
}

HttpReply CameraHttp::handle(const HttpRequest& request)
{
    std::string password;
    CameraSetup setup;
    state.read([&](const SimState& s) {
        const CameraState* c = s.camera(name);
        password = c->password;
        setup = c->setup;
    });
    std::string scheme = HttpServer::authScheme(request);
    AuthCheck auth = AuthCheck::Missing;
    if (scheme == "Basic" && setup.auth != "digest") {
        auth = HttpServer::checkBasic(request, "admin", password);
    } else if (scheme == "Digest" && setup.auth != "basic") {
        auth = HttpServer::checkDigest(request, setup.realm, "admin", password);
    }
    if (auth != AuthCheck::Ok) {
        HttpReply reply = HttpReply::text(401, "401 Unauthorized\r\n");
        reply.challenge = challengeFor(setup.auth);
        reply.realm = setup.realm;
        reply.stale = auth == AuthCheck::Stale && reply.challenge != HttpReply::Challenge::Basic;
        reply.note = auth == AuthCheck::Missing ? "challenge" : auth == AuthCheck::Stale ? "nonce" : "refused";
        return reply;
    }

    if (request.path == "/userlist.cgi") {
        return HttpReply::text(200, "user1=admin\r\nlevel1=administrator\r\n");
    }
    if (request.path == "/system.cgi") {
        return changePassword(request);
    }
    if (request.path == "/image/jpeg.cgi") {
        return pictureStream(request);
    }
    if (request.path == "/") {
        HttpReply reply
            = HttpReply::text(200, "<html><body><h1>" + setup.brand + " " + setup.model + "</h1></body></html>\r\n");
        reply.contentType = "text/html";
        return reply;
    }
    return HttpReply::text(404, "404 Not Found\r\n");
}

HttpReply CameraHttp::changePassword(const HttpRequest& request)
{
    auto id = request.arg("AdminID");
    auto wanted = request.arg("AdminPassword");
    std::string reboot = request.arg("ConfigReboot").value_or("No");
    if (!id || !wanted) {
        return HttpReply::text(400, "400 Bad Request\r\n");
    }
    if (*id != "admin") {
        HttpReply reply = HttpReply::text(200, "error=unknown user\r\n");
        reply.note = "unknown user";
        return reply;
    }
    if (wanted->empty() || wanted->size() > 31) {
        HttpReply reply = HttpReply::text(200, "error=password must have 1 to 31 characters\r\n");
        reply.note = "refused";
        return reply;
    }
    state.update([&](SimState& s) {
        CameraState* c = s.camera(name);
        c->password = *wanted;
        ++c->passwordChanges;
    });
    // Fault: the confirmation comes late in the answer, after a line of N bytes (as some firmware writes its
    // whole configuration first).
    std::string lead;
    if (auto late = request.faults.find("echo-late", request.rawUri)) {
        lead = "info=" + std::string(static_cast<size_t>(late->hasValue ? late->value : 200), 'x') + "\r\n";
    }
    HttpReply reply = HttpReply::text(
        200, lead + "AdminID=admin\r\nAdminPassword=" + *wanted + "\r\nConfigReboot=" + reboot + "\r\n");
    reply.note = lead.empty() ? "password changed" : "password changed, confirmed late";
    return reply;
}

HttpReply CameraHttp::pictureStream(const HttpRequest& request)
{
    CameraSetup setup;
    state.read([&](const SimState& s) { setup = s.camera(name)->setup; });
    HttpReply reply;
    reply.contentType = setup.multipart ? "multipart/x-mixed-replace; boundary=hxtframe" : "image/jpeg";
    reply.headers.emplace_back("Cache-Control", "no-cache");
    // The request's faults: the scenario's and those switched on through the control pipe.
    const FaultSet& faults = request.faults;
    StreamShape shape;
    shape.fps = setup.fps;
    shape.multipart = setup.multipart;
    shape.width = setup.pictureWidth;
    shape.height = setup.pictureHeight;
    shape.noEndMarker = faults.has("jpeg-no-eoi", request.rawUri);
    shape.embeddedEnd = faults.has("jpeg-embedded-eoi", request.rawUri);
    shape.undecodable = faults.has("jpeg-undecodable", request.rawUri);
    if (auto stall = faults.find("jpeg-stall", request.rawUri)) {
        shape.stallAfter = stall->hasValue ? std::max(0L, stall->value) : -2;
    }
    reply.stream = std::make_shared<JpegStream>(state, name, setup.model + " " + setup.name, shape);
    reply.note = shape.noEndMarker ? "stream without end markers"
        : shape.stallAfter != -1   ? "stream that stalls"
        : shape.undecodable        ? "stream of undecodable pictures"
                                   : "stream";
    return reply;
}
