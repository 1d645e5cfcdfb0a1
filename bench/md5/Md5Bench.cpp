// Our MD5 against OpenSSL's on the same inputs, in one run. After the usual table it prints, for
// each input size, our throughput as a fraction of OpenSSL's (the goal is at least 0.7).
#include "net/Md5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> makeInput(size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i * 2654435761u) >> 24);
    }
    return bytes;
}

void ours(benchmark::State& state)
{
    const auto input = makeInput(size_t(state.range(0)));
    for (auto _ : state) {
        Md5 md5;
        md5.Update(input.data(), input.size());
        auto digest = md5.Final();
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void openssl(benchmark::State& state)
{
    const auto input = makeInput(size_t(state.range(0)));
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const EVP_MD* md5 = EVP_md5();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(context, md5, nullptr);
        EVP_DigestUpdate(context, input.data(), input.size());
        EVP_DigestFinal_ex(context, digest, &length);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

BENCHMARK(ours)->Arg(64)->Arg(1024)->Arg(64 * 1024)->Arg(1024 * 1024);
BENCHMARK(openssl)->Arg(64)->Arg(1024)->Arg(64 * 1024)->Arg(1024 * 1024);

// Keeps the console table and remembers each run's throughput for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration) {
                rates[run.run_name.function_name][std::stol(run.run_name.args)] = it->second.value;
            }
        }
    }

    void printRatios() const
    {
        auto oursIt = rates.find("ours");
        auto refIt = rates.find("openssl");
        if (oursIt == rates.end() || refIt == rates.end()) {
            return;
        }
        for (const auto& [size, rate] : oursIt->second) {
            auto ref = refIt->second.find(size);
            if (ref != refIt->second.end() && ref->second > 0) {
                std::printf("ratio ours/openssl for %ld bytes: %.2f\n", size, rate / ref->second);
            }
        }
    }

private:
    std::map<std::string, std::map<long, double>> rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
