#pragma once
// Test helpers for the datagram code: a peer on 127.0.0.1 that records what it receives and answers
// through a responder, and a runner for checks that need a network namespace of their own.

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

class LoopbackPeer
{
public:
    // Given each request, the datagrams to send back to its sender, in order.
    using Responder = std::function<std::vector<Bytes>(const Bytes& request)>;

    // Bound to 127.0.0.1 and an ephemeral port; with `anyAddress`, to 0.0.0.0 and `port` (inside a
    // namespace of the test's own only), so that it also receives broadcasts; with `address`, to that
    // dotted address and `port` (a peer that hears only datagrams sent to its own address).
    explicit LoopbackPeer(
        Responder responder = nullptr, bool anyAddress = false, uint16_t port = 0, const char* address = nullptr)
        : responder(std::move(responder))
    {
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(anyAddress ? INADDR_ANY : INADDR_LOOPBACK);
        if (address != nullptr) {
            inet_pton(AF_INET, address, &local.sin_addr);
        }
        local.sin_port = htons(port);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            std::perror("LoopbackPeer");
            return;
        }
        socklen_t size = sizeof local;
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
        boundPort = ntohs(local.sin_port);
        int big = 4 << 20;
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
        thread = std::thread([this] { serve(); });
    }

    ~LoopbackPeer()
    {
        stop.store(true);
        if (thread.joinable()) {
            thread.join();
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }

    uint16_t Port() const { return boundPort; }

    std::vector<Bytes> Requests()
    {
        std::lock_guard<std::mutex> guard(lock);
        return requests;
    }

    // Port of the last request's sender, 0 before any.
    uint16_t LastSenderPort()
    {
        std::lock_guard<std::mutex> guard(lock);
        return lastSender;
    }

    bool SendTo(uint16_t port, const Bytes& datagram, const char* address = nullptr)
    {
        sockaddr_in to {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (address != nullptr) {
            inet_pton(AF_INET, address, &to.sin_addr);
        }
        return sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >= 0;
    }

    // Waits until `count` requests arrived or the limit passed.
    bool WaitForRequests(size_t count, std::chrono::milliseconds limit = std::chrono::milliseconds(2000))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (Requests().size() >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    void serve()
    {
        std::vector<uint8_t> buffer(65536);
        while (!stop.load()) {
            pollfd wait { fd, POLLIN, 0 };
            if (poll(&wait, 1, 20) <= 0) {
                continue;
            }
            sockaddr_in from {};
            socklen_t size = sizeof from;
            const ssize_t n = recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &size);
            if (n < 0) {
                continue;
            }
            Bytes request(buffer.begin(), buffer.begin() + n);
            bool seen = false;
            {
                std::lock_guard<std::mutex> guard(lock);
                requests.push_back(request);
                lastSender = ntohs(from.sin_port);
                const std::string sender = std::to_string(from.sin_addr.s_addr) + ":" + std::to_string(from.sin_port);
                seen = std::find(senders.begin(), senders.end(), sender) != senders.end();
                if (!seen) {
                    senders.push_back(sender);
                }
            }
            // A broadcast can reach the peer twice (looped back and through a link); one answer per sender.
            if (responder && !(answerOncePerSender && seen)) {
                for (const Bytes& answer : responder(request)) {
                    sendto(fd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
                }
            }
        }
    }

public:
    std::atomic<bool> answerOncePerSender { false };

private:
    Responder responder;
    std::vector<std::string> senders;
    int fd = -1;
    uint16_t boundPort = 0;
    std::atomic<bool> stop { false };
    std::mutex lock;
    std::vector<Bytes> requests;
    uint16_t lastSender = 0;
    std::thread thread;
};

// Runs `body` in a child process inside a new network namespace, after running each shell command of
// `setup` there. The body returns an empty text on success, else the failure it saw. Returns
// "skip: ..." when no namespace can be made (not root).
inline std::string RunInOwnNetns(const std::vector<std::string>& setup, const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string result;
        if (unshare(CLONE_NEWNET) != 0) {
            result = "skip: cannot create a network namespace (needs root)";
        } else {
            for (const auto& command : setup) {
                if (result.empty() && std::system(command.c_str()) != 0) {
                    result = "setup failed: " + command;
                }
            }
            if (result.empty()) {
                result = body();
            }
        }
        ssize_t written = write(pipeFds[1], result.data(), result.size());
        (void)written;
        _exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char chunk[512];
    ssize_t n;
    while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0) {
        result.append(chunk, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "child process died";
    }
    return result;
}
