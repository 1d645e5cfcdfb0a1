// How fast a request blocked on a silent peer ends when another thread cancels it: HttpGet::Close from
// another thread until the blocked SendGet returns, and NvrClient::Stop until the worker's command has
// ended (state Failed) and until Stop itself returns, and how soon a command issued right after another
// one ended goes out. Loopback only: run it inside `unshare --net` with
// lo up. Times are per cancellation (manual time), in microseconds.
#include "device/NvrClient.h"
#include "net/HttpGet.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Accepts connections on 127.0.0.1 and reads what comes; never answers, or answers each request with an
// empty 200 when `answer` is set.
class SilentPeer
{
public:
    explicit SilentPeer(bool answer = false)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener, 64);
        socklen_t length = sizeof address;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        acceptor = std::thread([this, answer] {
            while (true) {
                const int client = ::accept(listener, nullptr, nullptr);
                if (client < 0) {
                    return;
                }
                clients.push_back(client);
                readers.emplace_back([this, client, answer] {
                    char buffer[4096];
                    static const char ok[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
                    while (::recv(client, buffer, sizeof buffer, 0) > 0) {
                        lastRequestAt = Clock::now().time_since_epoch().count();
                        ++requests; // close enough: one request fits one read on loopback
                        if (answer) {
                            ::send(client, ok, sizeof ok - 1, MSG_NOSIGNAL);
                        }
                    }
                });
            }
        });
    }
    ~SilentPeer()
    {
        ::shutdown(listener, SHUT_RDWR);
        ::close(listener);
        acceptor.join();
        for (int client : clients) {
            ::shutdown(client, SHUT_RDWR);
        }
        for (auto& reader : readers) {
            reader.join();
        }
        for (int client : clients) {
            ::close(client);
        }
    }
    void waitForRequests(int count) const
    {
        while (requests.load() < count) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    int port = 0;
    std::atomic<int> requests { 0 };
    std::atomic<int64_t> lastRequestAt { 0 };

private:
    int listener = -1;
    std::thread acceptor;
    std::vector<int> clients;
    std::vector<std::thread> readers;
};

double micros(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

void closeToReturn(benchmark::State& state)
{
    SilentPeer peer;
    HttpGet http;
    int sent = 0;
    double worst = 0;
    for (auto _ : state) {
        http.Open("127.0.0.1", "admin", "", 30000, 0, peer.port);
        std::atomic<int64_t> returnedAt { 0 };
        std::thread worker([&] {
            http.SendGet("/never");
            returnedAt = Clock::now().time_since_epoch().count();
        });
        peer.waitForRequests(++sent);
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // blocked in the poll by now
        const auto closeAt = Clock::now();
        http.Close();
        worker.join();
        const double latency = micros(Clock::duration(returnedAt.load()) - closeAt.time_since_epoch());
        worst = std::max(worst, latency);
        state.SetIterationTime(latency / 1e6);
    }
    state.counters["worst_us"] = worst;
}

void stopToEnd(benchmark::State& state)
{
    SilentPeer peer;
    NvrClient client;
    int sent = 0;
    double worstEnd = 0;
    double worstReturn = 0;
    double sumReturn = 0;
    for (auto _ : state) {
        client.CheckCameraLogin("127.0.0.1", peer.port, "admin", ""); // 30000 ms limit
        peer.waitForRequests(++sent);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::atomic<int64_t> endedAt { 0 };
        std::thread watcher([&] {
            while (client.State() == NvrClient::Busy) {
                std::this_thread::yield();
            }
            endedAt = Clock::now().time_since_epoch().count();
        });
        const auto stopAt = Clock::now();
        client.Stop();
        const double returned = micros(Clock::now() - stopAt);
        watcher.join();
        const double ended = micros(Clock::duration(endedAt.load()) - stopAt.time_since_epoch());
        worstEnd = std::max(worstEnd, ended);
        worstReturn = std::max(worstReturn, returned);
        sumReturn += returned;
        state.SetIterationTime(ended / 1e6);
    }
    state.counters["worst_end_us"] = worstEnd;
    state.counters["stop_return_us"] = sumReturn / double(state.iterations());
    state.counters["worst_stop_return_us"] = worstReturn;
}

// A command issued the moment the previous one ended: time until its request reaches the peer (the
// close and open delays of 50 ms each and the worker's 100 ms start are in it; no wait for the old worker).
void issueAfterDone(benchmark::State& state)
{
    SilentPeer peer(true);
    NvrClient client;
    int sent = 0;
    double worst = 0;
    for (auto _ : state) {
        client.DeleteCamera("127.0.0.1", peer.port, "admin", "", 1);
        while (client.State() == NvrClient::Busy) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        peer.waitForRequests(++sent);
        const auto issuedAt = Clock::now();
        client.DeleteCamera("127.0.0.1", peer.port, "admin", "", 2);
        peer.waitForRequests(++sent);
        const double latency = micros(Clock::duration(peer.lastRequestAt.load()) - issuedAt.time_since_epoch());
        worst = std::max(worst, latency);
        state.SetIterationTime(latency / 1e6);
        while (client.State() == NvrClient::Busy) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    state.counters["worst_us"] = worst;
}

} // namespace

BENCHMARK(closeToReturn)->UseManualTime()->Iterations(30)->Unit(benchmark::kMicrosecond);
BENCHMARK(stopToEnd)->UseManualTime()->Iterations(30)->Unit(benchmark::kMicrosecond);
BENCHMARK(issueAfterDone)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
