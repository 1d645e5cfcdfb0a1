#pragma once
// One HTTP or HTTPS listener of a simulated device (libmicrohttpd, a thread per connection): turns each
// request into an HttpRequest, applies the device's HTTP fault switches, lets the device answer, logs
// the request in the shared state, and queues the reply (plain body, authentication challenge or an
// endless stream).

#include "FaultSet.h"
#include "Scenario.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct MHD_Connection;
struct MHD_Daemon;
class SimState;

struct HttpRequest
{
    MHD_Connection* connection = nullptr;
    std::string method;
    std::string path; // without the query, decoded
    std::string rawUri; // as sent: path and query
    std::vector<std::pair<std::string, std::string>> args; // query arguments, decoded, in order
    std::vector<std::string> bareArgs; // query words without "=" ("/account/?add")
    std::string body; // request body (POST)
    std::string peer; // "ip:port"
    bool secure = false;

    std::optional<std::string> arg(const std::string& name) const;
    bool hasBareArg(const std::string& name) const;
    std::string header(const char* name) const;
};

// A body produced piece by piece (the picture stream, a cut body). read() fills up to max bytes and
// returns their number, 0 to be asked again, -1 at the regular end and -2 to cut the connection.
class StreamSource
{
public:
    virtual ~StreamSource() = default;
    virtual long read(char* buffer, size_t max) = 0;
};

struct HttpReply
{
    enum class Challenge { None, Basic, Digest, BasicAndDigest };

    int status = 200;
    std::string contentType = "text/plain";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    Challenge challenge = Challenge::None; // a 401 with these WWW-Authenticate headers
    std::string realm;
    bool stale = false; // Digest challenge with stale=true
    std::shared_ptr<StreamSource> stream; // when set, the body comes from it
    long long streamSize = -1; // announced length of the stream; -1 = unknown (chunked)
    std::string note; // for the request log

    static HttpReply text(int status, std::string body);
};

enum class AuthCheck {
    Ok,
    Missing, // no (usable) Authorization header
    Wrong, // credentials or nonce refused
    Stale // a Digest nonce that is valid but not for this request (or too old)
};

class HttpServer
{
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;

    struct Config
    {
        std::string device; // name in the request log
        Ipv4 ip {};
        int port = 80;
        bool tls = false;
        std::string keyPem;
        std::string certPem;
        FaultSet faults;
        // What the device answers with when its body lacks the expected keys (fault http-nokeys).
        std::string noKeysBody = "result=ok\r\n";
        // How the device asks for credentials when it answers 401 forever (fault http-401).
        HttpReply::Challenge challenge = HttpReply::Challenge::Digest;
        std::string realm;
    };

    HttpServer(SimState& state, Config config, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool start(std::string& error);
    void stop();

    // Set once at shutdown: blocked handlers (silent, slow, streams) give up.
    static std::atomic<bool> stopping;
    // Sleeps up to ms; false when the simulator is stopping.
    static bool pause(long ms);

    static AuthCheck checkDigest(
        const HttpRequest& request, const std::string& realm, const std::string& user, const std::string& password);
    static AuthCheck checkBasic(const HttpRequest& request, const std::string& user, const std::string& password);
    // The scheme word of the Authorization header ("Basic", "Digest") or empty.
    static std::string authScheme(const HttpRequest& request);

    const Config& config() const { return cfg; }

    // libmicrohttpd callbacks (public for the C trampolines only)
    int onRequest(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
        size_t* uploadSize, void** context);

private:
    int queue(const HttpRequest& request, HttpReply reply);
    HttpReply applyFaults(const FaultSet& faults, const HttpRequest& request, HttpReply reply, std::string& faultNote);
    // The scenario's fault switches of this device and those turned on since through the control pipe.
    FaultSet activeFaults() const;

    SimState& state;
    Config cfg;
    Handler handler;
    MHD_Daemon* daemon = nullptr;
    std::vector<unsigned char> digestRandom;
};
