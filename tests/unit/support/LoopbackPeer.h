#pragma once
// Test helper for the datagram code: a peer on 127.0.0.1 that records what it receives and answers through a
// responder. (TestProcess.h runs checks that need a network namespace of their own.)

#include "platform/DatagramSocket.h"
#include "TestProcess.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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
        uint32_t local = anyAddress ? 0u : kLoopback;
        if (address != nullptr) {
            local = DatagramSocket::ParseDottedAddress(address).value_or(local);
        }
        if (!socket.Open({ local, port }, 4 << 20)) {
            std::fprintf(stderr, "LoopbackPeer: the socket cannot be bound\n");
            return;
        }
        boundPort = socket.BoundPort();
        thread = std::thread([this] { serve(); });
    }

    ~LoopbackPeer()
    {
        if (thread.joinable()) {
            socket.Stop();
            thread.join();
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
        uint32_t to = kLoopback;
        if (address != nullptr) {
            to = DatagramSocket::ParseDottedAddress(address).value_or(to);
        }
        return socket.SendTo(datagram.data(), datagram.size(), { to, port });
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
        while (socket.WaitReadable() == DatagramSocket::Wait::Readable) {
            Ipv4Endpoint from;
            const std::optional<size_t> n = socket.ReceiveOne(buffer.data(), buffer.size(), &from);
            if (!n) {
                continue;
            }
            Bytes request(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(*n));
            bool seen = false;
            {
                std::lock_guard<std::mutex> guard(lock);
                requests.push_back(request);
                lastSender = from.port;
                const std::string sender = std::to_string(from.address) + ":" + std::to_string(from.port);
                seen = std::find(senders.begin(), senders.end(), sender) != senders.end();
                if (!seen) {
                    senders.push_back(sender);
                }
            }
            // A broadcast can reach the peer twice (looped back and through a link); one answer per sender.
            if (responder && !(answerOncePerSender && seen)) {
                for (const Bytes& answer : responder(request)) {
                    socket.SendTo(answer.data(), answer.size(), from);
                }
            }
        }
    }

public:
    std::atomic<bool> answerOncePerSender { false };

private:
    Responder responder;
    std::vector<std::string> senders;
    static constexpr uint32_t kLoopback = 0x7F000001u; // 127.0.0.1
    DatagramSocket socket;
    uint16_t boundPort = 0;
    std::mutex lock;
    std::vector<Bytes> requests;
    uint16_t lastSender = 0;
    std::thread thread;
};
