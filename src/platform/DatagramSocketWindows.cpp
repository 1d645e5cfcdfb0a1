#include "platform/DatagramSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>


#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

struct DatagramSocket::Handles
{
    SOCKET socket = INVALID_SOCKET;
    WSAEVENT readable = WSA_INVALID_EVENT; // set by the system while datagrams wait (WSAEventSelect)
    WSAEVENT stop = WSA_INVALID_EVENT; // manual reset: stays set once Stop was called
};

namespace {

// Winsock is started once for the process and never stopped: sockets live until the process ends.
bool startWinsock()
{
    static const bool started = [] {
        WSADATA data {};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

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
    if (!startWinsock()) {
        return false;
    }
    // WSA_FLAG_NO_HANDLE_INHERIT: a program the wizard starts does not inherit the socket.
    handles->socket = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (handles->socket == INVALID_SOCKET) {
        return false;
    }
    const BOOL enable = TRUE;
    setsockopt(handles->socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&enable), sizeof enable);
    setsockopt(handles->socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBufferBytes),
        sizeof receiveBufferBytes);
    // Without this an ICMP "port unreachable" for an earlier send fails the next receive with WSAECONNRESET, and
    // a search that reached one closed port would report its socket readable for nothing.
    BOOL reportReset = FALSE;
    DWORD returned = 0;
    WSAIoctl(handles->socket, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr,
        nullptr);
    const sockaddr_in address = socketAddress(local);
    if (bind(handles->socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        Close();
        return false;
    }
    handles->readable = WSACreateEvent();
    handles->stop = WSACreateEvent();
    if (handles->readable == WSA_INVALID_EVENT || handles->stop == WSA_INVALID_EVENT
        || WSAEventSelect(handles->socket, handles->readable, FD_READ) != 0) {
        Close();
        return false;
    }
    return true;
}

void DatagramSocket::Close()
{
    if (handles->socket != INVALID_SOCKET) {
        closesocket(handles->socket);
        handles->socket = INVALID_SOCKET;
    }
    for (WSAEVENT* event : { &handles->readable, &handles->stop }) {
        if (*event != WSA_INVALID_EVENT) {
            WSACloseEvent(*event);
            *event = WSA_INVALID_EVENT;
        }
    }
}

bool DatagramSocket::IsOpen() const
{
    return handles->socket != INVALID_SOCKET;
}

DatagramSocket::Wait DatagramSocket::WaitReadable()
{
    const WSAEVENT events[2] = { handles->stop, handles->readable };
    for (;;) {
        const DWORD which = WSAWaitForMultipleEvents(2, events, FALSE, WSA_INFINITE, FALSE);
        if (which == WSA_WAIT_EVENT_0) {
            return Wait::Stopped;
        }
        if (which != WSA_WAIT_EVENT_0 + 1) {
            return Wait::Failed;
        }
        // Resets the read event; the system sets it again after the next receive while datagrams remain.
        WSANETWORKEVENTS happened {};
        if (WSAEnumNetworkEvents(handles->socket, handles->readable, &happened) != 0) {
            return Wait::Failed;
        }
        if ((happened.lNetworkEvents & FD_READ) != 0) {
            return Wait::Readable;
        }
    }
}

void DatagramSocket::Stop()
{
    WSASetEvent(handles->stop);
}

bool DatagramSocket::SendTo(const void* data, size_t length, Ipv4Endpoint destination)
{
    const sockaddr_in address = socketAddress(destination);
    return sendto(handles->socket, static_cast<const char*>(data), static_cast<int>(length), 0,
               reinterpret_cast<const sockaddr*>(&address), sizeof address)
        != SOCKET_ERROR;
}

std::optional<size_t> DatagramSocket::ReceiveOne(uint8_t* buffer, size_t capacity, Ipv4Endpoint* sender)
{
    sockaddr_in from {};
    int fromSize = sizeof from;
    // A datagram longer than the buffer fails with WSAEMSGSIZE and is consumed: it is dropped, never delivered cut.
    const int received = recvfrom(handles->socket, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
        reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (received == SOCKET_ERROR || received < 0 || static_cast<size_t>(received) > capacity) {
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
    int size = sizeof bound;
    if (handles->socket == INVALID_SOCKET
        || getsockname(handles->socket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        return 0;
    }
    return ntohs(bound.sin_port);
}

uint32_t DatagramSocket::DroppedDatagrams() const
{
    return 0; // Winsock keeps no count of datagrams dropped at a full receive buffer
}

int32_t DatagramSocket::ReceiveBufferBytes() const
{
    int bytes = 0;
    int size = sizeof bytes;
    if (handles->socket == INVALID_SOCKET
        || getsockopt(handles->socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&bytes), &size) != 0) {
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
