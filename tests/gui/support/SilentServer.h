#pragma once
// A TCP listener on loopback that accepts connections (the kernel does) and never says a word: a request to it
// hangs until it is cancelled. `port` stays 0 when the listener could not be set up.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class SilentServer
{
public:
    SilentServer()
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, 8) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(fd); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port = 0;

private:
    int fd = -1;
};
