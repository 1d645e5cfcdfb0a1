#pragma once
// One IPv4 datagram socket with a stop signal beside it, so a thread blocked waiting for datagrams can be woken
// from another thread. The operating system's socket and event types stay inside the platform sources.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

// An IPv4 address and port, both in host order.
struct Ipv4Endpoint
{
    uint32_t address = 0;
    uint16_t port = 0;
};

class DatagramSocket
{
public:
    enum class Wait {
        Readable, // a datagram (or an error report) waits to be received
        Stopped, // Stop was called
        Failed, // the wait itself failed; waiting again would fail too
    };

    DatagramSocket();
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    // Makes the socket (broadcast sending allowed, receive buffer of receiveBufferBytes asked for), binds it to
    // local (address 0: any) and an ephemeral port when local.port is 0, and makes the stop signal. False when any
    // step fails; the socket is then closed.
    bool Open(Ipv4Endpoint local, int receiveBufferBytes);
    // Releases the socket and the stop signal. Not while another thread waits on them.
    void Close();
    bool IsOpen() const;

    // Blocks until a datagram can be received or Stop is called.
    Wait WaitReadable();
    // Wakes WaitReadable, now and for every later call. Safe from any thread while the socket is open.
    void Stop();

    // Sends length bytes to destination. False when the system refused them.
    bool SendTo(const void* data, size_t length, Ipv4Endpoint destination);

    // Receives one datagram without blocking into buffer. Its length, or nothing when none is waiting, the
    // receive failed, or the datagram was longer than capacity (such a datagram is consumed and dropped whole,
    // never delivered cut).
    std::optional<size_t> ReceiveOne(uint8_t* buffer, size_t capacity, Ipv4Endpoint* sender);

    // The bound port, 0 when closed or unknown.
    uint16_t BoundPort() const;
    // Datagrams the system dropped at this socket because its receive buffer was full; 0 where the system does
    // not count them.
    uint32_t DroppedDatagrams() const;
    // The receive buffer the system granted, in bytes; 0 when closed.
    int32_t ReceiveBufferBytes() const;

    // Parses dotted IPv4 text ("10.0.0.1") into a host-order address; nothing for anything else.
    static std::optional<uint32_t> ParseDottedAddress(const char* text);
    static constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

private:
    struct Handles;
    std::unique_ptr<Handles> handles;
};
