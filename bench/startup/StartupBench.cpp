// Start-up benchmark: the wizard from process start to its welcome page painted, and its peak memory, against a
// bare frameless Qt window of the same size; the two alternate within one run, N rounds each, offscreen, every
// process with fresh private HOME and XDG folders. Prints the medians and the two ratios.
//   startup_bench <hxt914q-setup> <bare_window> [rounds]
// Run it through run-startup-bench (a fresh network namespace) or `cmake --build <build> --target bench-startup`.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// The wizard runs its host 50 ms after the frame appeared; that pause is its own, not start-up work.
constexpr double kFrameStartDelayMs = 50.0;

struct Sample
{
    double ms;
    long maxRssKiB;
};

// Runs program once with a private home; nothing when it did not end with code 0.
bool RunOnce(const std::string& program, Sample& sample)
{
    char pattern[] = "/tmp/hxt-startup.XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return false;
    const std::filesystem::path root(pattern);
    for (const char* sub : { "home", "data", "config", "cache", "runtime", "tmp" })
        std::filesystem::create_directory(root / sub);
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    std::filesystem::permissions(root / "tmp", std::filesystem::perms::owner_all);

    std::vector<std::string> variables = {
        "HOME=" + (root / "home").string(),
        "XDG_DATA_HOME=" + (root / "data").string(),
        "XDG_CONFIG_HOME=" + (root / "config").string(),
        "XDG_CACHE_HOME=" + (root / "cache").string(),
        "XDG_RUNTIME_DIR=" + (root / "runtime").string(),
        "TMPDIR=" + (root / "tmp").string(),
        "QT_QPA_PLATFORM=offscreen",
        "LANG=C.UTF-8",
        "HXT_EXIT_AFTER_FIRST_PAINT=1",
    };
    if (const char* path = std::getenv("PATH"))
        variables.push_back(std::string("PATH=") + path);
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string name = program;
    char* arguments[] = { name.data(), nullptr };

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    bool ok = ::posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environment.data()) == 0;
    int status = 0;
    rusage usage {};
    if (ok) {
        while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) { }
    }
    const auto end = std::chrono::steady_clock::now();
    std::error_code error;
    std::filesystem::remove_all(root, error);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not end cleanly (status %d)\n", program.c_str(), status);
        return false;
    }
    sample.ms = std::chrono::duration<double, std::milli>(end - start).count();
    sample.maxRssKiB = usage.ru_maxrss;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Summary
{
    double ms;
    double minMs;
    double rssMiB;
};

Summary Summarise(const std::vector<Sample>& samples)
{
    std::vector<double> ms;
    std::vector<double> rss;
    for (const Sample& s : samples) {
        ms.push_back(s.ms);
        rss.push_back(static_cast<double>(s.maxRssKiB) / 1024.0);
    }
    return { Median(ms), *std::min_element(ms.begin(), ms.end()), Median(rss) };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <hxt914q-setup> <bare_window> [rounds]\n", argv[0]);
        return 2;
    }
    const std::string wizard = argv[1];
    const std::string bare = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;

    // One unmeasured round each warms the file cache.
    Sample ignored {};
    if (!RunOnce(wizard, ignored) || !RunOnce(bare, ignored))
        return 1;
    std::vector<Sample> wizardSamples;
    std::vector<Sample> bareSamples;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which goes first, so a drift of the machine's load falls on both alike.
        for (int i = 0; i < 2; ++i) {
            const bool wizardTurn = (round % 2 == 0) == (i == 0);
            Sample sample {};
            if (!RunOnce(wizardTurn ? wizard : bare, sample))
                return 1;
            (wizardTurn ? wizardSamples : bareSamples).push_back(sample);
        }
    }
    const Summary w = Summarise(wizardSamples);
    const Summary b = Summarise(bareSamples);
    std::printf("rounds: %d each, alternating, offscreen\n", rounds);
    std::printf("%-12s %12s %12s %14s\n", "", "median ms", "min ms", "peak RSS MiB");
    std::printf("%-12s %12.1f %12.1f %14.1f\n", "wizard", w.ms, w.minMs, w.rssMiB);
    std::printf("%-12s %12.1f %12.1f %14.1f\n", "bare window", b.ms, b.minMs, b.rssMiB);
    const double memoryRatio = w.rssMiB / b.rssMiB;
    const double startRatio = (w.ms - kFrameStartDelayMs) / b.ms;
    std::printf("memory ratio   %.2fx (target at most 1.5x, aim 1.3x)\n", memoryRatio);
    std::printf("start-up ratio %.2fx without the frame's 50 ms start delay (target at most 1.25x)\n", startRatio);
    return 0;
}
