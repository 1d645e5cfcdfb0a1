#pragma once
// A loopback TCP server for HttpGet tests that records each request exactly as it arrived and answers
// with scripted bytes: a whole response, silence, a trickle, or a body that never ends.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RawRequest
{
    std::string head; // request line and header lines, up to and including the blank line
    std::string body;

    std::string requestLine() const;
    // The value of the first header line with that name (case-insensitive); empty when absent.
    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const;
};

struct RawResponse
{
    enum class Kind {
        Bytes, // send `bytes`, keep the connection for the next request
        Silent, // send `bytes` (maybe nothing), then say nothing more until the server stops
        Trickle, // send `bytes`, then each piece of `pieces` after `pauseMs`, then close
        Endless, // send `bytes`, then `pieces[0]` over and over (`pauseMs` apart) until the peer goes away
    };
    Kind kind = Kind::Bytes;
    std::string bytes;
    std::vector<std::string> pieces;
    int pauseMs = 0;

    // A complete HTTP/1.1 response with Content-Length.
    static RawResponse make(int status, const std::string& body, const std::string& extraHeaderLines = "");
};

class RawHttpServer
{
public:
    using Responder = std::function<RawResponse(size_t index, const RawRequest& request)>;

    explicit RawHttpServer(Responder responder);
    ~RawHttpServer();

    uint16_t port() const { return listenPort; }
    std::vector<RawRequest> requests() const;
    int connectionCount() const { return connections; }

private:
    void acceptLoop();
    void serve(int socket);

    Responder responder;
    int listenSocket = -1;
    uint16_t listenPort = 0;
    std::atomic<bool> stopping { false };
    std::atomic<int> connections { 0 };
    mutable std::mutex mutex;
    std::vector<RawRequest> recorded;
    std::vector<int> clientSockets;
    std::vector<std::thread> workers;
    std::thread acceptor;
};
