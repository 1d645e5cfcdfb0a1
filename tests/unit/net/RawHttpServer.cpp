#include "RawHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <stdexcept>

namespace {

std::string lower(std::string text)
{
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool sendAll(int socket, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += size_t(n);
    }
    return true;
}

} // namespace

std::string RawRequest::requestLine() const
{
    return head.substr(0, head.find("\r\n"));
}

bool RawRequest::hasHeader(const std::string& name) const
{
    const std::string wanted = "\r\n" + lower(name) + ":";
    return lower(head).find(wanted) != std::string::npos;
}

std::string RawRequest::header(const std::string& name) const
{
    const std::string wanted = "\r\n" + lower(name) + ":";
    const size_t at = lower(head).find(wanted);
    if (at == std::string::npos) {
        return {};
    }
    size_t start = at + wanted.size();
    while (start < head.size() && head[start] == ' ') {
        ++start;
    }
    return head.substr(start, head.find("\r\n", start) - start);
}

RawResponse RawResponse::make(int status, const std::string& body, const std::string& extraHeaderLines)
{
    RawResponse response;
    response.bytes = "HTTP/1.1 " + std::to_string(status) + " Status\r\n" + extraHeaderLines
        + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return response;
}

RawHttpServer::RawHttpServer(Responder responder)
    : responder(std::move(responder))
{
    listenSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(listenSocket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listenSocket, 16) != 0) {
        throw std::runtime_error("RawHttpServer: cannot listen on loopback");
    }
    socklen_t length = sizeof address;
    ::getsockname(listenSocket, reinterpret_cast<sockaddr*>(&address), &length);
    listenPort = ntohs(address.sin_port);
    acceptor = std::thread([this] { acceptLoop(); });
}

RawHttpServer::~RawHttpServer()
{
    stopping = true;
    ::shutdown(listenSocket, SHUT_RDWR);
    acceptor.join();
    {
        std::lock_guard lock(mutex);
        for (int socket : clientSockets) {
            ::shutdown(socket, SHUT_RDWR);
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (int socket : clientSockets) {
        ::close(socket);
    }
    ::close(listenSocket);
}

std::vector<RawRequest> RawHttpServer::requests() const
{
    std::lock_guard lock(mutex);
    return recorded;
}

void RawHttpServer::acceptLoop()
{
    while (!stopping) {
        int client = ::accept(listenSocket, nullptr, nullptr);
        if (client < 0) {
            return;
        }
        ++connections;
        std::lock_guard lock(mutex);
        if (stopping) {
            ::close(client);
            return;
        }
        clientSockets.push_back(client);
        workers.emplace_back([this, client] { serve(client); });
    }
}

void RawHttpServer::serve(int socket)
{
    std::string pending;
    char buffer[16384];
    while (!stopping) {
        // One request: the head up to the blank line, then Content-Length bytes of body.
        size_t headEnd;
        while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
            ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return;
            }
            pending.append(buffer, size_t(n));
        }
        RawRequest request;
        request.head = pending.substr(0, headEnd + 4);
        pending.erase(0, headEnd + 4);
        const std::string lengthText = request.header("Content-Length");
        const size_t bodyLength = lengthText.empty() ? 0 : std::stoul(lengthText);
        while (pending.size() < bodyLength) {
            ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return;
            }
            pending.append(buffer, size_t(n));
        }
        request.body = pending.substr(0, bodyLength);
        pending.erase(0, bodyLength);

        size_t index;
        {
            std::lock_guard lock(mutex);
            index = recorded.size();
            recorded.push_back(request);
        }
        const RawResponse response = responder(index, request);
        if (!sendAll(socket, response.bytes)) {
            return;
        }
        switch (response.kind) {
        case RawResponse::Kind::Bytes:
            break;
        case RawResponse::Kind::Silent: {
            // Wait for the peer to leave or the server to stop (shutdown wakes the poll).
            pollfd fd { socket, POLLIN, 0 };
            while (!stopping) {
                if (::poll(&fd, 1, 100) > 0 && ::recv(socket, buffer, sizeof buffer, 0) <= 0) {
                    return;
                }
            }
            return;
        }
        case RawResponse::Kind::Trickle:
            for (const std::string& piece : response.pieces) {
                std::this_thread::sleep_for(std::chrono::milliseconds(response.pauseMs));
                if (stopping || !sendAll(socket, piece)) {
                    return;
                }
            }
            ::shutdown(socket, SHUT_WR);
            return;
        case RawResponse::Kind::Endless:
            while (!stopping && sendAll(socket, response.pieces.at(0))) {
                if (response.pauseMs > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(response.pauseMs));
                }
            }
            return;
        }
    }
}
