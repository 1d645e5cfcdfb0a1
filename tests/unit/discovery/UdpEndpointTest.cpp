#include "discovery/UdpEndpoint.h"

#include "LoopbackPeer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <memory>

namespace {

struct Received
{
    std::mutex lock;
    std::vector<Bytes> datagrams;
    std::chrono::milliseconds callbackDelay { 0 };
    std::atomic<int> finishedCallbacks { 0 };

    size_t Count()
    {
        std::lock_guard<std::mutex> guard(lock);
        return datagrams.size();
    }
};

void record(UdpEndpoint*, void* owner, const Ipv4Endpoint*, const uint8_t* data, size_t length)
{
    auto* received = static_cast<Received*>(owner);
    {
        std::lock_guard<std::mutex> guard(received->lock);
        received->datagrams.emplace_back(data, data + length);
    }
    std::this_thread::sleep_for(received->callbackDelay);
    received->finishedCallbacks.fetch_add(1);
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::milliseconds(2000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

TEST(UdpEndpoint, deliversEveryDatagramUpTo1024BytesAndDropsLargerOnes)
{
    Received received;
    UdpEndpoint endpoint(0, &record, &received);
    ASSERT_TRUE(endpoint.Open("127.0.0.1"));
    EXPECT_STREQ(endpoint.localAddress, "127.0.0.1");
    LoopbackPeer peer;

    Bytes full(1024);
    for (size_t i = 0; i < full.size(); ++i) {
        full[i] = static_cast<uint8_t>(i * 7);
    }
    const std::vector<Bytes> sent
        = { Bytes(), Bytes { 0x42 }, full, Bytes(1500, 0xEE), Bytes(1025, 0xEE), Bytes(7, 1) };
    for (const Bytes& datagram : sent) {
        ASSERT_TRUE(peer.SendTo(endpoint.BoundPort(), datagram));
    }
    // The oversize datagrams vanish; the thread goes on with the next one.
    ASSERT_TRUE(waitFor([&] { return received.Count() == 4; })) << received.Count();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> guard(received.lock);
    ASSERT_EQ(received.datagrams.size(), 4u);
    EXPECT_TRUE(received.datagrams[0].empty());
    EXPECT_EQ(received.datagrams[1], Bytes { 0x42 });
    EXPECT_EQ(received.datagrams[2], full);
    EXPECT_EQ(received.datagrams[3], Bytes(7, 1));
}

// Hundreds of recorders answer one search within milliseconds; on a busy machine the receive thread may not
// run until the whole burst is in. The socket has to hold it: what it cannot hold the system drops unseen.
TEST(UdpEndpoint, keepsEveryDatagramOfABurstThatArrivesWhileItsThreadIsHeldUp)
{
    struct Gate
    {
        std::mutex lock;
        std::condition_variable opened;
        bool open = false;
        std::atomic<size_t> delivered { 0 };
    } gate;
    auto waitAtGate = [](UdpEndpoint*, void* owner, const Ipv4Endpoint*, const uint8_t*, size_t) {
        auto* held = static_cast<Gate*>(owner);
        std::unique_lock<std::mutex> guard(held->lock);
        held->opened.wait(guard, [held] { return held->open; });
        held->delivered.fetch_add(1);
    };
    UdpEndpoint endpoint(0, waitAtGate, &gate);
    ASSERT_TRUE(endpoint.Open("127.0.0.1"));
    LoopbackPeer peer;

    // 256 search answers of 336 bytes and a few garbage datagrams, as one interface receives them.
    // The gate opens before any check can end the test: the endpoint's Close waits for the held thread.
    constexpr size_t kBurst = 300;
    size_t sent = 0;
    for (size_t i = 0; i < kBurst; ++i) {
        sent += peer.SendTo(endpoint.BoundPort(), Bytes(336, static_cast<uint8_t>(i))) ? 1 : 0;
    }
    const uint32_t droppedWhileHeld = endpoint.DroppedDatagrams();
    {
        std::lock_guard<std::mutex> guard(gate.lock);
        gate.open = true;
    }
    gate.opened.notify_all();

    ASSERT_EQ(sent, kBurst);
    EXPECT_EQ(droppedWhileHeld, 0u) << "receive buffer " << endpoint.ReceiveBufferBytes() << " bytes";
    EXPECT_TRUE(waitFor([&] { return gate.delivered.load() == kBurst; })) << gate.delivered.load() << " delivered";
    EXPECT_EQ(endpoint.DroppedDatagrams(), 0u);
}

TEST(UdpEndpoint, sendRecordsOnlyTheDestinationTextsOwnBytes)
{
    UdpEndpoint endpoint(3, nullptr, nullptr);
    ASSERT_TRUE(endpoint.Open("127.0.0.1"));
    LoopbackPeer peer;

    // An exactly sized heap text: a 16-byte copy would read past it (the address sanitizer sees that).
    const std::string text = "127.0.0.1";
    auto exact = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(exact.get(), text.c_str(), text.size() + 1);
    const uint8_t payload[] = { 'h', 'i' };
    ASSERT_TRUE(endpoint.Send(payload, sizeof payload, exact.get(), peer.Port()));
    EXPECT_EQ(std::string(endpoint.lastDestination), text);
    for (size_t i = text.size(); i < sizeof endpoint.lastDestination; ++i) {
        EXPECT_EQ(endpoint.lastDestination[i], '\0') << i;
    }
    EXPECT_EQ(endpoint.lastPort, peer.Port());
    ASSERT_TRUE(peer.WaitForRequests(1));
    EXPECT_EQ(peer.Requests()[0], Bytes({ 'h', 'i' }));
    EXPECT_EQ(peer.LastSenderPort(), endpoint.BoundPort());

    EXPECT_FALSE(endpoint.Send(payload, 1025, exact.get(), peer.Port())) << "more than 1024 bytes";
}

TEST(UdpEndpoint, openBindsOnlyUsableAddressesAndReopensAfterClose)
{
    UdpEndpoint endpoint(0, nullptr, nullptr);
    endpoint.Close(); // never opened: nothing happens
    EXPECT_FALSE(endpoint.Open("not an address"));
    EXPECT_FALSE(endpoint.Open("192.0.2.77")) << "an address that is not the machine's";
    EXPECT_FALSE(endpoint.IsOpen());

    ASSERT_TRUE(endpoint.Open(nullptr));
    EXPECT_STREQ(endpoint.localAddress, "");
    EXPECT_NE(endpoint.BoundPort(), 0);
    ASSERT_TRUE(endpoint.Open("127.0.0.1")) << "opening an open endpoint starts afresh";
    endpoint.Close();
    endpoint.Close();
    EXPECT_FALSE(endpoint.IsOpen());
    ASSERT_TRUE(endpoint.Open("127.0.0.1"));
}

TEST(UdpEndpoint, closeWaitsForACallbackStillRunningPastSixHundredMilliseconds)
{
    Received received;
    received.callbackDelay = std::chrono::milliseconds(900);
    auto endpoint = std::make_unique<UdpEndpoint>(0, &record, &received);
    ASSERT_TRUE(endpoint->Open("127.0.0.1"));
    LoopbackPeer peer;
    ASSERT_TRUE(peer.SendTo(endpoint->BoundPort(), Bytes { 1 }));
    ASSERT_TRUE(waitFor([&] { return received.Count() == 1; }));

    endpoint->Close();
    // Nothing the receive thread uses may go while it runs: Close returned after the callback ended.
    EXPECT_EQ(received.finishedCallbacks.load(), 1);
    endpoint.reset();
}

namespace {

// Owns an endpoint that its own callback destroys.
struct SelfDestroying
{
    std::unique_ptr<UdpEndpoint> endpoint;
    std::atomic<bool> armed { false }; // set once the test is done with the endpoint
    std::atomic<int> callbacks { 0 };

    static void onDatagram(UdpEndpoint* endpoint, void* owner, const Ipv4Endpoint*, const uint8_t*, size_t)
    {
        auto* self = static_cast<SelfDestroying*>(owner);
        if (self->armed.load() && self->endpoint.get() == endpoint) {
            self->endpoint.reset();
        }
        self->callbacks.fetch_add(1);
    }
};

} // namespace

TEST(UdpEndpoint, destroyedFromItsOwnCallbackLetsItsThreadEndAndReleasesItsDescriptors)
{
    LoopbackPeer peer;
    const size_t before = OpenHandleCount();
    for (int round = 0; round < 3; ++round) {
        SelfDestroying owner;
        owner.endpoint = std::make_unique<UdpEndpoint>(0, &SelfDestroying::onDatagram, &owner);
        ASSERT_TRUE(owner.endpoint->Open("127.0.0.1"));
        const uint16_t port = owner.endpoint->BoundPort();
        owner.armed.store(true);
        ASSERT_TRUE(peer.SendTo(port, Bytes { 1 }));
        ASSERT_TRUE(waitFor([&] { return owner.callbacks.load() == 1; })) << round;
        // The socket and the stop signal go once the thread has left the callback, which reads nothing
        // of the freed endpoint (the address sanitizer watches that).
        EXPECT_TRUE(waitFor([&] { return OpenHandleCount() == before; })) << round << ": " << OpenHandleCount();
        peer.SendTo(port, Bytes { 2 });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(owner.callbacks.load(), 1) << round;
    }
}
