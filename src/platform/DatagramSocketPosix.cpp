#include "platform/DatagramSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

struct DatagramSocket::Handles
{
    int socket = -1;
    int stopEvent = -1; // eventfd; readable once Stop was called
};

namespace {

sockaddr_in socketAddress(Ipv4Endpoint endpoint)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(endpoint.address);
    return address;
}

} // namespace

DatagramSocket::DatagramSocket()
    : handles(std::make_unique<Handles>())
{
}

DatagramSocket::~DatagramSocket()
{
    Close();
}

bool DatagramSocket::Open(Ipv4Endpoint local, int receiveBufferBytes)
{
    Close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    handles->socket = fd;
    // Broadcast sending: the option takes an int (a one-byte value is refused and leaves it off).
    const int enable = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &enable, sizeof enable);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    const sockaddr_in address = socketAddress(local);
    handles->stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || handles->stopEvent < 0) {
        Close();
        return false;
    }
    return true;
}

void DatagramSocket::Close()
{
    if (handles->socket >= 0) {
        ::close(handles->socket);
        handles->socket = -1;
    }
    if (handles->stopEvent >= 0) {
        ::close(handles->stopEvent);
        handles->stopEvent = -1;
    }
}

bool DatagramSocket::IsOpen() const
{
    return handles->socket >= 0;
}

DatagramSocket::Wait DatagramSocket::WaitReadable()
{
    pollfd waits[2] = { { handles->stopEvent, POLLIN, 0 }, { handles->socket, POLLIN, 0 } };
    for (;;) {
        waits[0].revents = 0;
        waits[1].revents = 0;
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Wait::Failed;
        }
        if (waits[0].revents != 0) {
            return Wait::Stopped;
        }
        if ((waits[1].revents & POLLNVAL) != 0) {
            return Wait::Failed;
        }
        if ((waits[1].revents & (POLLIN | POLLERR)) != 0) {
            return Wait::Readable;
        }
    }
}

void DatagramSocket::Stop()
{
    const uint64_t one = 1;
    const ssize_t written = ::write(handles->stopEvent, &one, sizeof one);
    (void)written;
}

bool DatagramSocket::SendTo(const void* data, size_t length, Ipv4Endpoint destination)
{
    const sockaddr_in address = socketAddress(destination);
    return sendto(handles->socket, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
               sizeof address)
        >= 0;
}

std::optional<size_t> DatagramSocket::ReceiveOne(uint8_t* buffer, size_t capacity, Ipv4Endpoint* sender)
{
    sockaddr_in from {};
    socklen_t fromSize = sizeof from;
    // MSG_TRUNC reports a datagram's real length, so one larger than the buffer is recognised and dropped
    // instead of being delivered cut.
    const ssize_t received = recvfrom(
        handles->socket, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (received < 0 || static_cast<size_t>(received) > capacity) {
        return std::nullopt;
    }
    if (sender != nullptr) {
        sender->address = ntohl(from.sin_addr.s_addr);
        sender->port = ntohs(from.sin_port);
    }
    return static_cast<size_t>(received);
}

uint16_t DatagramSocket::BoundPort() const
{
    sockaddr_in bound {};
    socklen_t size = sizeof bound;
    if (handles->socket < 0 || getsockname(handles->socket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        return 0;
    }
    return ntohs(bound.sin_port);
}

uint32_t DatagramSocket::DroppedDatagrams() const
{
    if (handles->socket < 0) {
        return 0;
    }
    uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t size = sizeof memory;
    if (getsockopt(handles->socket, SOL_SOCKET, SO_MEMINFO, memory, &size) != 0
        || size <= SK_MEMINFO_DROPS * sizeof(uint32_t)) {
        return 0;
    }
    return memory[SK_MEMINFO_DROPS];
}

int32_t DatagramSocket::ReceiveBufferBytes() const
{
    int bytes = 0;
    socklen_t size = sizeof bytes;
    if (handles->socket < 0 || getsockopt(handles->socket, SOL_SOCKET, SO_RCVBUF, &bytes, &size) != 0) {
        return 0;
    }
    return bytes;
}

std::optional<uint32_t> DatagramSocket::ParseDottedAddress(const char* text)
{
    in_addr address {};
    if (text == nullptr || inet_pton(AF_INET, text, &address) != 1) {
        return std::nullopt;
    }
    return ntohl(address.s_addr);
}
