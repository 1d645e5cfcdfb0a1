#include "UdpEndpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/sock_diag.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Copies a dotted address text into a 16-byte field: only the text's own bytes, the rest zero, so a
// short text is never read past its end.
void copyAddressText(char (&field)[16], const char* text)
{
    std::memset(field, 0, sizeof field);
    if (text != nullptr) {
        std::memcpy(field, text, strnlen(text, sizeof field - 1));
    }
}

} // namespace

UdpEndpoint::UdpEndpoint(int32_t index, ReceiveCallback callback, void* owner)
    : index(index)
    , callback(callback)
    , owner(owner)
{
}

UdpEndpoint::~UdpEndpoint()
{
    Close();
}

UdpEndpoint::Receiver::~Receiver()
{
    if (socket >= 0) {
        ::close(socket);
    }
    if (stopEvent >= 0) {
        ::close(stopEvent);
    }
}

bool UdpEndpoint::Open(const char* localAddressText)
{
    Close();

    // Step 1: the socket.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    // Broadcast sending: the option takes an int (a one-byte value is refused and leaves it off).
    const int enable = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &enable, sizeof enable);
    // Room for a whole burst: hundreds of recorders answer one search within a few milliseconds, faster
    // than the receive thread is scheduled on a busy machine. The default buffer (about 208 KiB) holds some
    // 160 answers (the system charges about 1.3 KiB for each), and every answer beyond is dropped unseen.
    const int receiveBuffer = kReceiveBufferBytes;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);

    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = 0;
    copyAddressText(localAddress, localAddressText);
    if (localAddress[0] != '\0') {
        if (inet_pton(AF_INET, localAddress, &local.sin_addr) != 1) {
            ::close(fd);
            return false;
        }
    } else {
        local.sin_addr.s_addr = htonl(INADDR_ANY);
    }
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return false;
    }

    auto fresh = std::make_shared<Receiver>();
    fresh->socket = fd;
    fresh->stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fresh->stopEvent < 0) {
        return false; // the receiver closes the socket
    }
    fresh->running.store(1);
    fresh->endpoint = this;
    fresh->callback = callback;
    fresh->owner = owner;
    receiver = fresh;
    socket = fd;
    std::lock_guard<std::mutex> guard(fresh->starting);
    thread = std::thread(&UdpEndpoint::receiveLoop, fresh);
    return true;
}

void UdpEndpoint::Close()
{
    if (thread.joinable()) {
        receiver->running.store(0);
        const uint64_t one = 1;
        ssize_t written = write(receiver->stopEvent, &one, sizeof one);
        (void)written;
        if (thread.get_id() == std::this_thread::get_id()) {
            // From the callback: the thread ends as the callback returns, with its own share of the receiver.
            thread.detach();
        } else {
            thread.join();
        }
    }
    receiver.reset();
    socket = -1;
}

uint16_t UdpEndpoint::BoundPort() const
{
    if (socket < 0) {
        return 0;
    }
    sockaddr_in bound {};
    socklen_t size = sizeof bound;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        return 0;
    }
    return ntohs(bound.sin_port);
}

uint32_t UdpEndpoint::DroppedDatagrams() const
{
    if (socket < 0) {
        return 0;
    }
    uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t size = sizeof memory;
    if (getsockopt(socket, SOL_SOCKET, SO_MEMINFO, memory, &size) != 0 || size <= SK_MEMINFO_DROPS * sizeof(uint32_t)) {
        return 0;
    }
    return memory[SK_MEMINFO_DROPS];
}

int32_t UdpEndpoint::ReceiveBufferBytes() const
{
    int bytes = 0;
    socklen_t size = sizeof bytes;
    if (socket < 0 || getsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, &size) != 0) {
        return 0;
    }
    return bytes;
}

bool UdpEndpoint::Send(const void* data, size_t length, const char* destinationText, uint16_t port)
{
    if (socket < 0 || length > kMaxDatagram || (length > 0 && data == nullptr)) {
        return false;
    }
    uint8_t buffer[kMaxDatagram] = {};
    if (length > 0) {
        std::memcpy(buffer, data, length);
    }
    lastPort = port;
    copyAddressText(lastDestination, destinationText);

    sockaddr_in destination {};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    // Not a dotted address: the all-ones address, the limited broadcast.
    if (destinationText == nullptr || inet_pton(AF_INET, destinationText, &destination.sin_addr) != 1) {
        destination.sin_addr.s_addr = INADDR_BROADCAST;
    }
    const ssize_t sent = sendto(
        socket, buffer, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    return sent >= 0;
}

void UdpEndpoint::receiveLoop(std::shared_ptr<Receiver> receiver)
{
    // Only the receiver is used here: the endpoint may be gone once a callback has returned.
    {
        std::lock_guard<std::mutex> started(receiver->starting);
    }
    uint8_t buffer[kMaxDatagram];
    pollfd waits[2] = { { receiver->stopEvent, POLLIN, 0 }, { receiver->socket, POLLIN, 0 } };
    while (receiver->running.load() == 1) {
        waits[0].revents = 0;
        waits[1].revents = 0;
        const int ready = poll(waits, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (waits[0].revents != 0) {
            break; // the stop signal
        }
        if ((waits[1].revents & POLLNVAL) != 0) {
            break;
        }
        if ((waits[1].revents & (POLLIN | POLLERR)) != 0) {
            receiveOne(*receiver, buffer);
        }
    }
    receiver->running.store(0);
}

void UdpEndpoint::receiveOne(Receiver& receiver, uint8_t* buffer)
{
    sockaddr_in sender {};
    socklen_t senderSize = sizeof sender;
    // MSG_TRUNC reports a datagram's real length, so one larger than the buffer is recognised and dropped
    // instead of being delivered cut.
    const ssize_t received = recvfrom(receiver.socket, buffer, kMaxDatagram, MSG_TRUNC | MSG_DONTWAIT,
        reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (received < 0 || static_cast<size_t>(received) > kMaxDatagram) {
        return;
    }
    if (receiver.callback != nullptr) {
        receiver.callback(receiver.endpoint, receiver.owner, &sender, buffer, static_cast<size_t>(received));
    }
}
