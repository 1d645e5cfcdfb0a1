// hxt914q-cli setup: sets up the recorders a plan names, with the same steps as the wizard's pages 7 to 11, and
// says what it did in a table (and, when asked, in a setup report).
#include "CliCommand.h"
#include "CliSearch.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "session/CameraLine.h"
#include "setup/plan/SetupPlan.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/AdminPasswordStep.h"
#include "setup/steps/CameraStep.h"
#include "setup/steps/CloudStep.h"
#include "setup/steps/DiskStep.h"
#include "setup/steps/TimeZoneStep.h"
#include "platform/FilePaths.h"
#include "platform/ProcessConsole.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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

constexpr const char* kModel = "HXT-914Q";
constexpr const char* kProgramVersion = "V 2.02.00";
constexpr int kMaxJobs = 32;
constexpr size_t kMaxCameraLines = 256;

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

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A device's text in a line of output: control bytes would break the line or steer the terminal.
std::string Clean(std::string text)
{
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            c = '?';
    }
    return text;
}

// Every password of the plan, so that none can reach the output or the report, whatever a device answers.
class Scrubber
{
public:
    void Add(const std::string& secret)
    {
        if (secret.size() >= 4 && std::find(secrets.begin(), secrets.end(), secret) == secrets.end())
            secrets.push_back(secret);
        // The longest first, so that one containing another is hidden whole.
        std::sort(secrets.begin(), secrets.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    }
    std::string operator()(std::string text) const
    {
        for (const std::string& secret : secrets) {
            for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
                text.replace(at, secret.size(), "***");
        }
        return text;
    }

private:
    std::vector<std::string> secrets;
};

// Output lines from several recorders at once, one whole line at a time.
class Console
{
public:
    explicit Console(const Scrubber& scrub)
        : scrub(scrub)
    {
    }
    void Line(const std::string& text)
    {
        const std::string line = scrub(Clean(text));
        std::lock_guard<std::mutex> guard(lock);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    void Error(const std::string& text) const
    {
        const std::string line = scrub(Clean(text));
        std::lock_guard<std::mutex> guard(lock);
        std::fprintf(stderr, "hxt914q-cli setup: %s\n", line.c_str());
    }

private:
    const Scrubber& scrub;
    mutable std::mutex lock;
};

const char* const kStepPassword = "password";
const char* const kStepZone = "zone";
const char* const kStepDisks = "disks";
const char* const kStepCameras = "cameras";
const char* const kStepCloud = "cloud";

// One recorder the plan sets up: its plan table, its search answer, what was found on it and what was done.
struct Target
{
    const PlanRecorder* plan = nullptr;
    std::string mac; // upper case, as the plan writes it
    std::string macText; // as the search answer gives it
    std::string ip;
    std::string model;
    int webPort = 0;

    // Found before anything is sent.
    AdminPasswordResult password;
    bool readable = false; // it could be read: it has no password yet, or the plan's
    TimeZoneResult zones;
    int zoneNumber = 0;
    DiskResult disks;
    std::array<bool, 2> wantedDisks { false, false };
    CameraResult cameras;
    CloudResult cloud;

    // What was done (or, on a dry run, would be).
    std::vector<ReportStep> steps;
    ReportRecorder report;

    bool Asks(const char* step) const
    {
        if (step == kStepZone)
            return !plan->zoneName.empty() || plan->zoneNumber > 0;
        if (step == kStepDisks)
            return plan->disks != PlanRecorder::Disks::Keep;
        if (step == kStepCameras)
            return !plan->cameras.empty();
        if (step == kStepCloud)
            return plan->cloud.has_value();
        return true;
    }
    // The recorder as the steps reach it, with this administrator password.
    RecorderAccess Access(const std::string& adminPassword) const
    {
        return RecorderAccess { ip, macText, "admin", adminPassword, webPort };
    }
    std::string ReadPassword() const { return password.newRecorder ? std::string() : plan->password; }
};

// Runs work(i) for i in [0, count) on up to `jobs` threads; returns when all are done.
void RunJobs(int jobs, size_t count, const std::function<void(size_t)>& work)
{
    std::atomic<size_t> next { 0 };
    std::vector<std::thread> threads;
    const size_t n = std::min(static_cast<size_t>(jobs), count);
    for (size_t t = 0; t < n; ++t) {
        threads.emplace_back([&] {
            for (size_t i = next++; i < count; i = next++)
                work(i);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

std::string PortName(size_t port)
{
    return "HD" + std::to_string(port + 1);
}

std::string DiskText(const DiskPort& port)
{
    if (port.description.name.empty())
        return std::string();
    if (port.description.capacityBytes <= 0)
        return port.description.name;
    const long long gigabytes = std::max(1LL, (port.description.capacityBytes + 500000000LL) / 1000000000LL);
    return port.description.name + " (" + std::to_string(gigabytes) + " GB)";
}

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

// A step's progress line: what it did, what already held, or that `what` failed and why.
std::string ProgressLine(StepOutcome outcome, const std::string& done, const std::string& already,
    const std::string& what, const std::string& reason)
{
    if (outcome == StepOutcome::Done)
        return done;
    if (outcome == StepOutcome::AlreadyDone)
        return already;
    return what + " failed: " + reason;
}

std::string LocalDate()
{
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string HtmlPath(const std::string& path)
{
    const size_t nameStart = FileNameStart(path);
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart && path.substr(dot) != ".html")
        return path.substr(0, dot) + ".html";
    return path + ".html";
}

bool WriteFile(const std::string& path, const std::string& text)
{
    FILE* out = OpenFile(path, "w");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

class SetupRun
{
public:
    SetupRun(const Arguments& arguments, const SetupPlan& plan, SearchDevice& search, Console& console)
        : args(arguments)
        , plan(plan)
        , search(search)
        , console(console)
    {
    }

    // Matches the plan with the recorders found. False when a recorder the plan names is missing.
    bool Match();
    // Reads what each matched recorder holds, sending no change; then checks the plan against it. False when the
    // plan does not fit.
    bool Inspect();
    // What Match and Inspect found wrong, one line each (file, line, key).
    void PrintErrors() const;
    void SetUp();
    void DryRun();
    // The table; the exit code.
    int Finish();
    SetupReport Report() const;

private:
    void inspect(Target& target);
    void setUp(Target& target);
    void dryRun(Target& target);
    void record(
        Target& target, const char* step, StepOutcome outcome, const std::string& detail, const std::string& progress);
    void skipRest(Target& target, const char* after);

    const Arguments& args;
    const SetupPlan& plan;
    SearchDevice& search;
    Console& console;
    std::vector<Target> targets;
    std::vector<PlanError> errors;
};

bool SetupRun::Match()
{
    struct Found
    {
        int32_t index;
        std::string mac;
        bool taken = false;
    };
    std::vector<Found> found;
    for (int32_t i = 0; i < search.recordCount.load(); ++i) {
        const auto record = search.Record(i);
        if (record && record->unique)
            found.push_back({ i, Upper(record->MacText()) });
    }
    auto targetFor = [this](const PlanRecorder& recorder, int32_t index) {
        Target target;
        target.plan = &recorder;
        target.macText = search.MacText(index);
        target.mac = Upper(target.macText);
        target.ip = search.IpText(index);
        target.model = search.ModelText(index);
        target.webPort = search.WebPort(index);
        return target;
    };
    const std::string file = plan.file;
    for (const PlanRecorder& recorder : plan.recorders) {
        if (recorder.everyNew)
            continue;
        const std::string key = "recorder[" + std::to_string(recorder.number) + "].mac";
        auto match = std::find_if(found.begin(), found.end(), [&](const Found& f) { return f.mac == recorder.mac; });
        if (match == found.end()) {
            errors.push_back({ file, recorder.line, key, "no recorder " + recorder.mac + " answered the search" });
            continue;
        }
        match->taken = true;
        Target target = targetFor(recorder, match->index);
        if (target.model != kModel) {
            errors.push_back(
                { file, recorder.line, key, recorder.mac + " is a " + Clean(target.model) + ", not a " + kModel });
            continue;
        }
        targets.push_back(target);
    }
    // The table for every new recorder: each recorder found that the plan does not name; which of them it takes is
    // decided once their passwords are known (Inspect).
    for (const PlanRecorder& recorder : plan.recorders) {
        if (!recorder.everyNew)
            continue;
        for (const Found& f : found) {
            if (!f.taken && search.ModelText(f.index) == kModel)
                targets.push_back(targetFor(recorder, f.index));
        }
    }
    return errors.empty();
}

bool SetupRun::Inspect()
{
    RunJobs(args.jobs, targets.size(), [this](size_t i) { inspect(targets[i]); });
    if (interrupted.load())
        return false;

    // A recorder the plan does not name is taken for the new-recorder table when it has no password yet, or that
    // table's password already (an earlier run set it up).
    std::vector<Target> kept;
    bool newMatched = false;
    for (Target& target : targets) {
        if (!target.plan->everyNew) {
            kept.push_back(std::move(target));
            continue;
        }
        if (target.password.probed && (target.password.newRecorder || target.password.passwordWorks)) {
            newMatched = true;
            kept.push_back(std::move(target));
        }
    }
    targets = std::move(kept);
    const auto newTable
        = std::find_if(plan.recorders.begin(), plan.recorders.end(), [](const PlanRecorder& r) { return r.everyNew; });
    if (newTable != plan.recorders.end() && !newMatched)
        errors.push_back({ plan.file, newTable->line, "recorder[" + std::to_string(newTable->number) + "].new",
            "no recorder without a password (or with this table's password) answered the search" });

    for (Target& target : targets) {
        const PlanRecorder& recorder = *target.plan;
        const std::string path = "recorder[" + std::to_string(recorder.number) + "]";
        if (!target.readable)
            continue; // nothing can be checked; the password step will say why
        if (target.Asks(kStepZone) && target.zones.listRead) {
            const ZoneChoice choice = ChooseZone(plan, recorder, target.zones.names);
            if (choice.error)
                errors.push_back(*choice.error);
            target.zoneNumber = choice.zoneNumber;
        }
        if (target.Asks(kStepDisks) && target.disks.outcome == StepOutcome::Done) {
            const std::array<DiskPort, 2>& ports = target.disks.ports;
            if (recorder.disks == PlanRecorder::Disks::All) {
                target.wantedDisks = { ports[0].plugged, ports[1].plugged };
                if (!ports[0].plugged && !ports[1].plugged)
                    errors.push_back({ plan.file, recorder.line, path + ".format",
                        target.mac + " has no disk plugged in to format" });
            }
            for (int id : recorder.diskIds) {
                if (id < 1 || id > 2) {
                    errors.push_back({ plan.file, recorder.line, path + ".format",
                        "names the storage id " + std::to_string(id) + "; the recorder has 1 (HD1) and 2 (HD2)" });
                } else if (!ports[static_cast<size_t>(id - 1)].plugged) {
                    errors.push_back({ plan.file, recorder.line, path + ".format",
                        "names the storage id " + std::to_string(id) + ", but " + target.mac + " has no disk in HD"
                            + std::to_string(id) });
                } else {
                    target.wantedDisks[static_cast<size_t>(id - 1)] = true;
                }
            }
        }
        if (target.Asks(kStepCameras) && target.cameras.search == CameraResult::Search::Listed) {
            const auto seen = CameraStep::ReadLines(target.cameras.lines);
            for (size_t c = 0; c < recorder.cameras.size(); ++c) {
                const PlanCamera& camera = recorder.cameras[c];
                const std::string cameraPath = path + ".camera[" + std::to_string(c + 1) + "]";
                const int index = CameraStep::FindCamera(seen, camera.mac);
                if (index < 0)
                    errors.push_back({ plan.file, camera.line, cameraPath + ".mac",
                        target.mac + " does not see the camera " + camera.mac });
                else if (CameraStep::NeedsPasswordCreated(*seen[static_cast<size_t>(index)])
                    && !KeepsCameraPasswordRule(camera.password))
                    errors.push_back({ plan.file, camera.line, cameraPath + ".password",
                        "the camera has no password yet, and this one breaks the rule for a new camera password: 6 "
                        "to 30 characters, none of them \"/\", \":\", \"&\" or a space" });
            }
        }
    }
    return errors.empty();
}

void SetupRun::PrintErrors() const
{
    for (const PlanError& error : errors)
        console.Error(error.Text());
}

// On a job's thread: reads what the recorder holds, sending no change.
void SetupRun::inspect(Target& target)
{
    NvrClient client;
    {
        AdminPasswordStep step(search, client);
        target.password
            = step.Run(AdminPasswordStep::Mode::Inspect, target.Access(""), target.plan->password, &interrupted);
    }
    target.readable = target.password.probed && (target.password.newRecorder || target.password.passwordWorks);
    if (!target.readable)
        return;
    if (target.plan->everyNew)
        console.Line(target.mac + ": " + (target.password.newRecorder ? "a new recorder" : "has the plan's password")
            + " at " + target.ip + ", taken for recorder[" + std::to_string(target.plan->number) + "]");
    const RecorderAccess access = target.Access(target.ReadPassword());
    if (target.Asks(kStepZone)) {
        TimeZoneStep step;
        target.zones = step.Read(access, TimeZoneStep::kEnglish, &interrupted);
    }
    if (target.Asks(kStepDisks)) {
        DiskStep step(client);
        target.disks = step.List(access, &interrupted);
    }
    if (target.Asks(kStepCameras)) {
        CameraStep step(search, client);
        target.cameras = step.Discover(access, kMaxCameraLines, &interrupted);
    }
    if (target.Asks(kStepCloud) && args.dryRun) {
        CloudStep step(client);
        target.cloud = step.Status(access, &interrupted);
    }
}

void SetupRun::record(
    Target& target, const char* step, StepOutcome outcome, const std::string& detail, const std::string& progress)
{
    target.steps.push_back({ step, outcome, detail });
    if (!progress.empty())
        console.Line(target.mac + ": " + progress);
}

void SetupRun::skipRest(Target& target, const char* after)
{
    for (const char* step : { kStepZone, kStepDisks, kStepCameras, kStepCloud }) {
        if (target.Asks(step))
            target.steps.push_back({ step, StepOutcome::Skipped, std::string("the ") + after + " step failed" });
    }
}

void SetupRun::SetUp()
{
    RunJobs(args.jobs, targets.size(), [this](size_t i) { setUp(targets[i]); });
}

// On a job's thread: the steps in the wizard's order, each with this recorder's own request object.
void SetupRun::setUp(Target& target)
{
    const PlanRecorder& recorder = *target.plan;
    ReportRecorder& report = target.report;
    report.model = target.model;
    report.address = target.ip;
    report.mac = target.mac;
    report.webPort = target.webPort;
    console.Line(target.mac + ": setting up the recorder at " + target.ip);
    const auto started = std::chrono::steady_clock::now();
    NvrClient client;

    {
        AdminPasswordStep step(search, client);
        const AdminPasswordResult r
            = step.Run(AdminPasswordStep::Mode::Apply, target.Access(""), recorder.password, &interrupted);
        record(target, kStepPassword, r.outcome, r.reason,
            ProgressLine(r.outcome, "administrator password set", "administrator password already set",
                "administrator password", r.reason));
        if (r.outcome == StepOutcome::Failed) {
            skipRest(target, kStepPassword);
            console.Line(target.mac + ": the rest is skipped");
            return;
        }
    }
    const RecorderAccess access = target.Access(recorder.password);

    if (target.Asks(kStepZone)) {
        TimeZoneStep step;
        TimeZoneResult r;
        if (target.zoneNumber > 0) {
            r = step.Run(access, target.zoneNumber, &interrupted);
        } else {
            r.reason = "the recorder's zone list could not be read";
        }
        std::string name;
        if (r.zoneSet >= 1 && static_cast<size_t>(r.zoneSet) <= r.names.size())
            name = r.names[static_cast<size_t>(r.zoneSet - 1)];
        if (r.outcome != StepOutcome::Failed)
            report.zone = name;
        record(target, kStepZone, r.outcome, r.reason,
            ProgressLine(r.outcome, "zone set to " + name, "zone already " + name, "zone", r.reason));
    }

    if (target.Asks(kStepDisks)) {
        DiskStep step(client);
        std::array<bool, 2> wanted = target.wantedDisks;
        if (!wanted[0] && !wanted[1]) { // not known before: every port the plan names, or both
            for (size_t port = 0; port < 2; ++port)
                wanted[port] = recorder.disks == PlanRecorder::Disks::All
                    || std::find(recorder.diskIds.begin(), recorder.diskIds.end(), int(port + 1))
                        != recorder.diskIds.end();
        }
        console.Line(target.mac + ": checking the disks");
        const DiskResult r = step.Run(access, wanted, &interrupted);
        for (size_t port = 0; port < 2; ++port) {
            if (!wanted[port])
                continue;
            report.disks.push_back({ static_cast<int32_t>(port + 1), DiskText(r.ports[port]),
                r.portResults[port].empty() ? "not formatted" : r.portResults[port] });
            if (r.portResults[port] == "formatted")
                console.Line(target.mac + ": " + PortName(port) + " formatted");
            else if (r.portResults[port] == "kept")
                console.Line(target.mac + ": " + PortName(port) + " already formatted, kept");
        }
        record(target, kStepDisks, r.outcome, r.reason,
            r.outcome == StepOutcome::Failed ? "disks failed: " + r.reason : std::string());
    }

    if (target.Asks(kStepCameras)) {
        CameraStep step(search, client);
        std::vector<WantedCamera> wanted;
        for (const PlanCamera& camera : recorder.cameras)
            wanted.push_back({ camera.mac, camera.password, camera.name });
        const CameraResult r = step.Run(access, wanted, &interrupted);
        std::string names;
        for (const CameraResult::Camera& camera : r.cameras) {
            if (!camera.registered)
                continue;
            report.cameras.push_back({ camera.model, camera.ip, Upper(camera.mac), camera.name });
            names += (names.empty() ? "" : ", ") + camera.name + " (" + camera.ip + ")";
        }
        record(target, kStepCameras, r.outcome, r.reason,
            ProgressLine(r.outcome, "cameras registered: " + names, "cameras already registered: " + names, "cameras",
                r.reason));
    }

    if (target.Asks(kStepCloud)) {
        CloudStep step(client);
        const PlanCloud& cloud = *recorder.cloud;
        const CloudStep::Account account { cloud.email, cloud.password, cloud.signUp, cloud.firstName, cloud.lastName };
        const CloudResult r = step.Run(access, account, std::string(kModel) + "_" + kProgramVersion, &interrupted);
        if (r.outcome != StepOutcome::Failed) {
            report.cloudAccount = r.account;
            report.cloudNumber = r.boundNumber;
        }
        record(target, kStepCloud, r.outcome, r.reason,
            ProgressLine(r.outcome, "bound to the cloud account " + r.account + " as " + r.boundNumber,
                "already bound to the cloud account " + r.account, "cloud", r.reason));
    }
    const auto tenths
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()
        / 100;
    console.Line(
        target.mac + ": finished in " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s");
}

void SetupRun::DryRun()
{
    for (Target& target : targets)
        dryRun(target);
}

// What setUp would do, from what Inspect read.
void SetupRun::dryRun(Target& target)
{
    const PlanRecorder& recorder = *target.plan;
    const AdminPasswordResult& password = target.password;
    if (!password.probed) {
        target.steps.push_back({ kStepPassword, StepOutcome::Failed, password.reason });
        skipRest(target, kStepPassword);
        return;
    }
    if (password.newRecorder)
        target.steps.push_back({ kStepPassword, StepOutcome::Done, "set the administrator password" });
    else if (password.passwordWorks)
        target.steps.push_back({ kStepPassword, StepOutcome::AlreadyDone, {} });
    else {
        target.steps.push_back(
            { kStepPassword, StepOutcome::Failed, "the recorder already has another administrator password" });
        skipRest(target, kStepPassword);
        return;
    }

    if (target.Asks(kStepZone)) {
        const TimeZoneResult& zones = target.zones;
        if (!zones.listRead || target.zoneNumber < 1)
            target.steps.push_back({ kStepZone, StepOutcome::Failed, "the recorder's zone list could not be read" });
        else if (zones.zoneRead && zones.currentZone == target.zoneNumber)
            target.steps.push_back({ kStepZone, StepOutcome::AlreadyDone, {} });
        else
            target.steps.push_back({ kStepZone, StepOutcome::Done,
                "set zone " + std::to_string(target.zoneNumber) + " ("
                    + zones.names[static_cast<size_t>(target.zoneNumber - 1)] + ")" });
    }

    if (target.Asks(kStepDisks)) {
        if (target.disks.outcome != StepOutcome::Done) {
            target.steps.push_back({ kStepDisks, StepOutcome::Failed, target.disks.reason });
        } else {
            std::string todo;
            for (size_t port = 0; port < 2; ++port) {
                if (target.wantedDisks[port] && !DiskStep::AlreadyFormatted(target.disks.ports[port]))
                    todo += (todo.empty() ? "format " : ", ") + PortName(port);
            }
            target.steps.push_back({ kStepDisks, todo.empty() ? StepOutcome::AlreadyDone : StepOutcome::Done, todo });
        }
    }

    if (target.Asks(kStepCameras)) {
        if (target.cameras.search != CameraResult::Search::Listed) {
            target.steps.push_back({ kStepCameras, StepOutcome::Failed, "the recorder's cameras could not be listed" });
        } else {
            std::vector<WantedCamera> wanted;
            std::string todo;
            for (const PlanCamera& camera : recorder.cameras) {
                wanted.push_back({ camera.mac, camera.password, camera.name });
                todo += (todo.empty() ? "register " : ", ") + camera.mac;
            }
            const auto seen = CameraStep::ReadLines(target.cameras.lines);
            std::string removals;
            for (const auto& camera : seen) {
                const bool planned = std::any_of(recorder.cameras.begin(), recorder.cameras.end(),
                    [&camera](const PlanCamera& p) { return p.mac == Upper(camera->mac); });
                if (IsOnRecorder(*camera) && !planned)
                    removals += (removals.empty() ? "; remove " : ", ") + Upper(camera->mac);
            }
            todo += removals;
            const bool held = CameraStep::HoldsExactly(seen, wanted);
            target.steps.push_back(
                { kStepCameras, held ? StepOutcome::AlreadyDone : StepOutcome::Done, held ? std::string() : todo });
        }
    }

    if (target.Asks(kStepCloud)) {
        const CloudResult& cloud = target.cloud;
        const PortalValues& portal = cloud.portal;
        if (cloud.netFailed || !cloud.regRead || !cloud.portalRead)
            target.steps.push_back(
                { kStepCloud, StepOutcome::Failed, "the recorder's cloud registration could not be read" });
        else if (portal.values[PortalValues::Access] != "1")
            target.steps.push_back(
                { kStepCloud, StepOutcome::Failed, "the recorder does not offer the cloud service" });
        else if (portal.values[PortalValues::Status] == "1")
            target.steps.push_back(cloud.regEmail == recorder.cloud->email
                    ? ReportStep { kStepCloud, StepOutcome::AlreadyDone, {} }
                    : ReportStep { kStepCloud, StepOutcome::Failed, "the recorder is registered to another account" });
        else
            target.steps.push_back({ kStepCloud, StepOutcome::Done,
                std::string(recorder.cloud->signUp ? "sign up" : "sign in") + " as " + recorder.cloud->email
                    + " and bind the recorder" });
    }
}

int SetupRun::Finish()
{
    struct Row
    {
        std::string recorder, address, step, result;
    };
    std::vector<Row> rows { { "RECORDER", "ADDRESS", "STEP", "RESULT" } };
    bool allDone = !targets.empty();
    for (const Target& target : targets) {
        bool first = true;
        for (const ReportStep& step : target.steps) {
            rows.push_back(
                { first ? target.mac : "", first ? target.ip : "", step.name, OutcomeText(step, args.dryRun) });
            first = false;
            allDone = allDone && (step.outcome == StepOutcome::Done || step.outcome == StepOutcome::AlreadyDone);
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
    return allDone && !interrupted.load() ? kExitSuccess : kExitRefused;
}

SetupReport SetupRun::Report() const
{
    SetupReport report;
    report.date = LocalDate();
    report.programVersion = std::string("hxt914q-cli ") + kProgramVersion;
    for (const Target& target : targets) {
        ReportRecorder recorder = target.report;
        recorder.steps = target.steps;
        report.recorders.push_back(recorder);
    }
    return report;
}

// Every text of a report with the plan's passwords hidden.
SetupReport Scrubbed(SetupReport report, const Scrubber& scrub)
{
    for (ReportRecorder& r : report.recorders) {
        for (std::string* text : { &r.model, &r.address, &r.mac, &r.zone, &r.cloudAccount, &r.cloudNumber })
            *text = scrub(*text);
        for (ReportDisk& disk : r.disks) {
            disk.description = scrub(disk.description);
            disk.result = scrub(disk.result);
        }
        for (ReportCamera& camera : r.cameras) {
            for (std::string* text : { &camera.model, &camera.address, &camera.mac, &camera.name })
                *text = scrub(*text);
        }
        for (ReportStep& step : r.steps)
            step.detail = scrub(step.detail);
    }
    return report;
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
    Scrubber scrub;
    for (const PlanRecorder& recorder : read.plan.recorders) {
        scrub.Add(recorder.password);
        for (const PlanCamera& camera : recorder.cameras)
            scrub.Add(camera.password);
        if (recorder.cloud)
            scrub.Add(recorder.cloud->password);
    }
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
    SetupRun run(arguments, read.plan, search, console);
    // Everything the plan gets wrong is said at once: the recorders found are read even when another is missing.
    const bool matched = run.Match();
    const bool fits = run.Inspect();
    if (!matched || !fits) {
        run.PrintErrors();
        console.Error("nothing was changed: the plan does not fit the recorders found");
        return kExitRefused;
    }
    if (arguments.dryRun) {
        run.DryRun();
        console.Line("dry run: nothing was changed");
        return run.Finish();
    }
    run.SetUp();
    const int exitCode = run.Finish();
    if (!arguments.report.empty()) {
        const SetupReport report = Scrubbed(run.Report(), scrub);
        ReportLabels labels;
        labels.alreadyDone = "already set up"; // as the table says
        const std::string html = HtmlPath(arguments.report);
        if (!WriteFile(arguments.report, ReportText(report, labels)) || !WriteFile(html, ReportHtml(report, labels))) {
            console.Error("cannot write the report " + arguments.report + " / " + html);
            return kExitRefused;
        }
        console.Line("report written to " + arguments.report + " and " + html);
    }
    return exitCode;
}
