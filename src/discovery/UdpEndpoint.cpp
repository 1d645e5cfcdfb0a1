#include "UdpEndpoint.h"

#include <cstring>

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

bool UdpEndpoint::Open(const char* localAddressText)
{
    Close();

    Ipv4Endpoint local; // any address, an ephemeral port
    copyAddressText(localAddress, localAddressText);
    if (localAddress[0] != '\0') {
        const std::optional<uint32_t> address = DatagramSocket::ParseDottedAddress(localAddress);
        if (!address) {
            return false;
        }
        local.address = *address;
    }
    auto fresh = std::make_shared<Receiver>();
    // Room for a whole burst: hundreds of recorders answer one search within a few milliseconds, faster
    // than the receive thread is scheduled on a busy machine. The default buffer (about 208 KiB) holds some
    // 160 answers (the system charges about 1.3 KiB for each), and every answer beyond is dropped unseen.
    if (!fresh->socket.Open(local, kReceiveBufferBytes)) {
        return false;
    }
    fresh->running.store(1);
    fresh->endpoint = this;
    fresh->callback = callback;
    fresh->owner = owner;
    receiver = fresh;
    std::lock_guard<std::mutex> guard(fresh->starting);
    thread = std::thread(&UdpEndpoint::receiveLoop, fresh);
    return true;
}

void UdpEndpoint::Close()
{
    if (thread.joinable()) {
        receiver->running.store(0);
        receiver->socket.Stop();
        if (thread.get_id() == std::this_thread::get_id()) {
            // From the callback: the thread ends as the callback returns, with its own share of the receiver.
            thread.detach();
        } else {
            thread.join();
        }
    }
    receiver.reset();
}

uint16_t UdpEndpoint::BoundPort() const
{
    return receiver != nullptr ? receiver->socket.BoundPort() : 0;
}

uint32_t UdpEndpoint::DroppedDatagrams() const
{
    return receiver != nullptr ? receiver->socket.DroppedDatagrams() : 0;
}

int32_t UdpEndpoint::ReceiveBufferBytes() const
{
    return receiver != nullptr ? receiver->socket.ReceiveBufferBytes() : 0;
}

bool UdpEndpoint::Send(const void* data, size_t length, const char* destinationText, uint16_t port)
{
    if (receiver == nullptr || length > kMaxDatagram || (length > 0 && data == nullptr)) {
        return false;
    }
    uint8_t buffer[kMaxDatagram] = {};
    if (length > 0) {
        std::memcpy(buffer, data, length);
    }
    lastPort = port;
    copyAddressText(lastDestination, destinationText);

    // Not a dotted address: the all-ones address, the limited broadcast.
    const Ipv4Endpoint destination { DatagramSocket::ParseDottedAddress(destinationText)
                                         .value_or(DatagramSocket::kLimitedBroadcast),
        port };
    return receiver->socket.SendTo(buffer, length, destination);
}

void UdpEndpoint::receiveLoop(std::shared_ptr<Receiver> receiver)
{
    // Only the receiver is used here: the endpoint may be gone once a callback has returned.
    {
        std::lock_guard<std::mutex> started(receiver->starting);
    }
    uint8_t buffer[kMaxDatagram];
    while (receiver->running.load() == 1) {
        if (receiver->socket.WaitReadable() != DatagramSocket::Wait::Readable) {
            break;
        }
        receiveOne(*receiver, buffer);
    }
    receiver->running.store(0);
}

void UdpEndpoint::receiveOne(Receiver& receiver, uint8_t* buffer)
{
    Ipv4Endpoint sender;
    const std::optional<size_t> received = receiver.socket.ReceiveOne(buffer, kMaxDatagram, &sender);
    if (received && receiver.callback != nullptr) {
        receiver.callback(receiver.endpoint, receiver.owner, &sender, buffer, *received);
    }
}
