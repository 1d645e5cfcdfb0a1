#pragma once
// One broadcast-enabled IPv4 datagram socket bound to one local address, with a receive thread of its
// own that hands every arriving datagram to a callback. Used by the search and by the request object.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/DatagramSocket.h"

class UdpEndpoint;

// Called on the receive thread for every datagram; `data` is valid only during the call.
using ReceiveCallback
    = void (*)(UdpEndpoint* endpoint, void* owner, const Ipv4Endpoint* sender, const uint8_t* data, size_t length);

class UdpEndpoint
{
public:
    static constexpr size_t kMaxDatagram = 1024;
    // Receive buffer asked for at Open (the system grants at most its own maximum, net.core.rmem_max).
    static constexpr int kReceiveBufferBytes = 2 * 1024 * 1024;

    UdpEndpoint(int32_t index, ReceiveCallback callback, void* owner);
    // Closes the endpoint. Allowed from its own callback (see Close).
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Binds a new socket to the dotted IPv4 text (any address when null or empty) and an ephemeral port,
    // with broadcast sending allowed, and starts the receive thread. An endpoint that is open is closed
    // first. False when the socket cannot be made or bound.
    bool Open(const char* localAddressText);

    // Ends the receive thread (waiting for it, so nothing it uses is released under it) and closes the
    // socket. Safe on a closed endpoint. From inside the callback it does not wait for its own thread: the
    // endpoint is closed (and may be opened again or destroyed) at once, the thread ends as the callback
    // returns, touching nothing of the endpoint, and releases the socket then.
    void Close();

    // Sends `length` bytes (at most 1024) to the dotted destination text and port. A text that is not a
    // dotted address means 255.255.255.255, so such a datagram leaves as a broadcast.
    bool Send(const void* data, size_t length, const char* destinationText, uint16_t port);

    bool IsOpen() const { return receiver != nullptr; }
    // The bound port (host order), 0 while closed.
    uint16_t BoundPort() const;
    // Datagrams the system dropped at this socket since Open (its receive buffer was full when they
    // arrived); 0 while closed.
    uint32_t DroppedDatagrams() const;
    // The receive buffer the system granted the socket, in bytes; 0 while closed.
    int32_t ReceiveBufferBytes() const;

    int32_t index;
    char localAddress[16] = {}; // bound address text, empty when bound to any address
    char lastDestination[16] = {}; // destination text of the last Send, zero-padded
    uint32_t lastPort = 0;

private:
    // What the receive thread works with. The thread holds a share of it, so the endpoint can be closed
    // or destroyed from its callback; the last holder closes the descriptors.
    struct Receiver
    {
        DatagramSocket socket; // with its stop signal, set once the thread must end
        std::atomic<int32_t> running { 0 };
        std::mutex starting; // held by Open until the thread handle is stored, so a callback finds it
        UdpEndpoint* endpoint = nullptr;
        ReceiveCallback callback = nullptr;
        void* owner = nullptr;
    };

    static void receiveLoop(std::shared_ptr<Receiver> receiver);
    static void receiveOne(Receiver& receiver, uint8_t* buffer);

    std::shared_ptr<Receiver> receiver;
    std::thread thread;
    ReceiveCallback callback;
    void* owner;
};
