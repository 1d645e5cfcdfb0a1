// Scenario benchmark: walks scenario S (one new recorder, two ready disks formatted by the first poll, four cameras
// whose passwords the recorder lists, a sign-in) through the whole wizard, acting the moment a control is usable,
// with the wait timeline on. Prints the run's wall-clock time, the time the wizard's own waits cover (sleeps,
// timer periods, poll intervals, the search window: the floor no faster machine goes below), their ratio, the
// waits by kind, and the process's peak memory. Run it in the lab with scenario-s.conf: run-scenario-bench.
//   scenario_bench [--quiet]

#include "support/ScenarioWalk.h"
#include "platform/MallocArenas.h"
#include "platform/WaitTimeline.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <sys/resource.h>

namespace {

Scenario ScenarioS()
{
    Scenario s;
    s.name = QStringLiteral("S");
    s.language = 0;
    s.recorder = QStringLiteral("nvr-s");
    s.recorderIp = QStringLiteral("10.77.0.10");
    s.recorderMac = QStringLiteral("00:1a:2b:3c:4d:5e");
    s.newPassword = QStringLiteral("Bench2026");
    s.zone = 12;
    s.disks = DiskPlan::Format;
    s.diskCount = 2;
    for (int i = 1; i <= 4; ++i) {
        CameraPlan camera;
        camera.name = QStringLiteral("cam-s%1").arg(i);
        camera.ip = QStringLiteral("10.77.0.%1").arg(19 + i);
        camera.kind = CameraPlan::Known;
        camera.password = QStringLiteral("Camera0%1").arg(i);
        s.cameras.push_back(camera);
    }
    s.cloud = CloudPlan::SignIn;
    s.email = QStringLiteral("owner@example.lab");
    s.cloudPassword = QStringLiteral("Cloud123");
    return s;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool quiet = argc > 1 && std::strcmp(argv[1], "--quiet") == 0;
    UseOneMallocArena(); // as the wizard does
    QApplication application(argc, argv);
    WaitTimeline::Enable(true);
    const Scenario s = ScenarioS();
    const auto begin = WaitTimeline::Clock::now();
    const WalkResult result = RunWizard([&](WizardDriver& driver) { return ScenarioWalk(driver, s).Run(); }, 240000);
    const auto end = WaitTimeline::Clock::now();
    const std::vector<WaitTimeline::Wait> waits = WaitTimeline::Take();
    if (!result.finished || !result.failure.isEmpty()) {
        std::fprintf(stderr, "scenario S did not finish: %s\n", qPrintable(result.failure));
        for (const QString& line : result.log)
            std::fprintf(stderr, "  %s\n", qPrintable(line));
        return 1;
    }

    const double wallMs = std::chrono::duration<double, std::milli>(end - begin).count();
    const double floorMs = static_cast<double>(WaitTimeline::Covered(waits, begin, end).count());
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    if (!quiet) {
        // Each kind: how often, the time noted, and the time it alone would cover.
        std::map<std::string, std::vector<WaitTimeline::Wait>> byKind;
        for (const WaitTimeline::Wait& wait : waits)
            byKind[wait.what].push_back(wait);
        std::printf("%-28s %6s %10s %12s\n", "wait", "count", "noted ms", "covers ms");
        for (const auto& [what, list] : byKind) {
            uint64_t noted = 0;
            for (const WaitTimeline::Wait& wait : list)
                noted += wait.ms;
            std::printf("%-28s %6zu %10llu %12lld\n", what.c_str(), list.size(), static_cast<unsigned long long>(noted),
                static_cast<long long>(WaitTimeline::Covered(list, begin, end).count()));
        }
    }
    // One line the runner script reads.
    std::printf("RESULT wall_ms=%.0f floor_ms=%.0f ratio=%.3f peak_rss_kib=%ld\n", wallMs, floorMs,
        floorMs > 0 ? wallMs / floorMs : 0.0, usage.ru_maxrss);
    return 0;
}
