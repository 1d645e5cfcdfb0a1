// hxt914q-cli setup: sets up the recorders a plan names, with the same steps as the wizard's pages 7 to 11, and
// says what it did in a table (and, when asked, in a setup report). The command reads its arguments and prints; the
// plan runner (src/setup/run) does the work.
#include "CliCommand.h"
#include "CliSearch.h"

#include "discovery/SearchDevice.h"
#include "platform/ProcessConsole.h"
#include "platform/ProgramVersion.h"
#include "setup/plan/SetupPlan.h"
#include "setup/report/SetupReport.h"
#include "setup/report/TerminalText.h"
#include "setup/run/PlanProgress.h"
#include "setup/run/PlanRunner.h"
#include "setup/run/ReportFiles.h"
#include "setup/run/SecretScrubber.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace {

const char* const kUsage
    = "usage: hxt914q-cli setup PLAN [--jobs N] [--dry-run] [--report FILE]\n"
      "Sets up the recorders a plan file names, as the wizard's pages do: the administrator password, the zone,\n"
      "the disks, the cameras and the cloud account, in that order. Searches once, matches the plan's recorders\n"
      "(by MAC; a table with new = true takes every recorder without a password yet, and every one that has\n"
      "that table's password already), and checks the plan against what they hold before anything is sent.\n"
      "A step whose target already holds is reported as already set up and not done again; a failed password\n"
      "step skips the rest of that recorder, and no failure stops the other recorders.\n"
      "  --jobs N       set up N recorders side by side (1 to 32; default 1)\n"
      "  --dry-run      only read: say what would be done, send no change\n"
      "  --report FILE  write the setup report to FILE and, as one HTML page, beside it (.html); not on a dry run\n"
      "Prints progress lines and a table of every recorder and step. Exit 0 when every step was done or already\n"
      "set up (dry run: when every step can be), 1 when one failed or was skipped, or when the plan does not fit\n"
      "the recorders found (nothing is sent then), 2 on bad usage or a plan that cannot be read.\n";

constexpr int kMaxJobs = 32;

std::atomic<bool> interrupted { false };

void noteInterrupt()
{
    interrupted.store(true);
}

struct Arguments
{
    std::string plan;
    int jobs = 1;
    bool dryRun = false;
    std::string report;
    bool help = false;
};

bool Parse(const std::vector<std::string>& args, Arguments& out)
{
    std::vector<std::string> positional;
    const OptionTaker take = [&out](const std::string& option, const std::string& value) {
        if (option == "--dry-run") {
            out.dryRun = true;
            return true;
        }
        if (option == "--report") {
            out.report = value;
            return true;
        }
        const bool digits = !value.empty() && value.size() <= 2
            && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        out.jobs = digits ? std::stoi(value) : 0;
        if (out.jobs < 1 || out.jobs > kMaxJobs) {
            std::fprintf(stderr, "hxt914q-cli setup: --jobs needs a number from 1 to %d\n", kMaxJobs);
            return false;
        }
        return true;
    };
    const ArgumentScan scan = ScanArguments(args, "setup", { "--dry-run" }, { "--jobs", "--report" }, take, positional);
    if (scan == ArgumentScan::Help) {
        out.help = true;
        return true;
    }
    if (scan == ArgumentScan::Failed)
        return false;
    if (positional.size() != 1 || (!out.report.empty() && out.report == positional[0])) {
        std::fprintf(stderr, "hxt914q-cli setup: needs one PLAN file (and a report FILE other than it)\n");
        return false;
    }
    out.plan = positional[0];
    return true;
}

// Output lines from several recorders at once, one whole line at a time: device texts filtered for the terminal
// (they would break the line or steer it), the plan's passwords hidden.
class Console : public PlanProgress
{
public:
    explicit Console(const SecretScrubber& scrub)
        : scrub(scrub)
    {
    }
    void Line(const std::string& text) override
    {
        const std::string line = scrub.Hide(TerminalLine(text));
        std::lock_guard<std::mutex> guard(lock);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    void Error(const std::string& text) const
    {
        const std::string line = scrub.Hide(TerminalLine(text));
        std::lock_guard<std::mutex> guard(lock);
        std::fprintf(stderr, "hxt914q-cli setup: %s\n", line.c_str());
    }

private:
    const SecretScrubber& scrub;
    mutable std::mutex lock;
};

std::string OutcomeText(const ReportStep& step, bool dryRun)
{
    switch (step.outcome) {
    case StepOutcome::Done:
        return dryRun ? "to do: " + step.detail : "done";
    case StepOutcome::AlreadyDone:
        return "already set up";
    case StepOutcome::Skipped:
        return "skipped: " + step.detail;
    case StepOutcome::Failed:
        return (dryRun ? "would fail: " : "failed: ") + step.detail;
    }
    return std::string();
}

// The table of every recorder and step; the exit code.
int PrintTable(const PlanRunner& run, bool dryRun, Console& console)
{
    struct Row
    {
        std::string recorder, address, step, result;
    };
    std::vector<Row> rows { { "RECORDER", "ADDRESS", "STEP", "RESULT" } };
    for (const PlanTarget& target : run.Targets()) {
        bool first = true;
        for (const ReportStep& step : target.steps) {
            rows.push_back({ first ? target.mac : "", first ? target.ip : "", step.name, OutcomeText(step, dryRun) });
            first = false;
        }
    }
    size_t widths[3] = { 0, 0, 0 };
    for (const Row& row : rows) {
        widths[0] = std::max(widths[0], row.recorder.size());
        widths[1] = std::max(widths[1], row.address.size());
        widths[2] = std::max(widths[2], row.step.size());
    }
    console.Line("");
    for (const Row& row : rows) {
        auto pad
            = [](const std::string& text, size_t width) { return text + std::string(width - text.size() + 2, ' '); };
        console.Line(
            pad(row.recorder, widths[0]) + pad(row.address, widths[1]) + pad(row.step, widths[2]) + row.result);
    }
    if (interrupted.load())
        console.Error("interrupted");
    return run.EveryStepDone() && !interrupted.load() ? kExitSuccess : kExitRefused;
}

} // namespace

int RunSetup(const std::vector<std::string>& args)
{
    Arguments arguments;
    if (!Parse(args, arguments)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (arguments.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    const PlanRead read = ReadPlanFile(arguments.plan, ProcessEnvironment());
    const SecretScrubber scrub = SecretScrubber::ForPlan(read.plan);
    Console console(scrub);
    if (!read.Ok()) {
        for (const PlanError& error : read.errors)
            console.Error(error.Text());
        return kExitUsage;
    }

    OnInterrupt(noteInterrupt);

    SearchDevice search;
    console.Line("searching for recorders (6 s)");
    if (!RunFullSearch(search)) {
        console.Error("the search request could not be sent");
        return kExitRefused;
    }
    const PlanRunner::Settings settings { arguments.jobs, arguments.dryRun, kProgramVersion };
    PlanRunner run(settings, read.plan, search, console, interrupted);
    // Everything the plan gets wrong is said at once: the recorders found are read even when another is missing.
    const bool matched = run.Match();
    const bool fits = run.Inspect();
    if (!matched || !fits) {
        for (const PlanError& error : run.Errors())
            console.Error(error.Text());
        console.Error("nothing was changed: the plan does not fit the recorders found");
        return kExitRefused;
    }
    if (arguments.dryRun) {
        run.DryRun();
        console.Line("dry run: nothing was changed");
        return PrintTable(run, true, console);
    }
    run.SetUp();
    const int exitCode = PrintTable(run, false, console);
    if (!arguments.report.empty()) {
        const SetupReport report = scrub.Hide(run.Report(ReportFiles::LocalDate()));
        ReportLabels labels;
        labels.alreadyDone = "already set up"; // as the table says
        const std::string html = ReportFiles::HtmlPathBeside(arguments.report);
        if (!ReportFiles::Write(arguments.report, report, labels)) {
            console.Error("cannot write the report " + arguments.report + " / " + html);
            return kExitRefused;
        }
        console.Line("report written to " + arguments.report + " and " + html);
    }
    return exitCode;
}
