#include "setup/steps/CameraStep.h"

#include "device/NvrClient.h"
#include "session/CameraLine.h"
#include "session/CreatePasswordWorker.h"
#include "session/VerifyWorker.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <set>

namespace {

constexpr size_t kMaxLines = 256;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

CameraStep::CameraStep(SearchDevice& discoveryTable, NvrClient& requestObject)
    : StepWorker(&requestObject)
    , discovery(discoveryTable)
{
}

CameraStep::~CameraStep()
{
    Stop();
}

std::vector<std::unique_ptr<CameraRecord>> CameraStep::ReadLines(const std::vector<std::string>& lines)
{
    std::vector<std::unique_ptr<CameraRecord>> cameras;
    for (const std::string& line : lines) {
        if (auto camera = ParseCameraLine(line))
            cameras.push_back(std::move(camera));
    }
    return cameras;
}

int CameraStep::FindCamera(const std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::string& mac)
{
    const std::string wanted = Upper(mac);
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (!wanted.empty() && Upper(cameras[i]->mac) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

bool CameraStep::HoldsExactly(
    const std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<WantedCamera>& wanted)
{
    std::set<std::string> held;
    for (const auto& camera : cameras) {
        if (!IsOnRecorder(*camera))
            continue;
        const auto want = std::find_if(wanted.begin(), wanted.end(),
            [&camera](const WantedCamera& entry) { return Upper(entry.mac) == Upper(camera->mac); });
        // A camera the plan does not want, or one the recorder holds with another password, is not as planned.
        if (want == wanted.end() || (!camera->password.empty() && camera->password != want->password))
            return false;
        held.insert(Upper(camera->mac));
    }
    return held.size() == wanted.size();
}

void CameraStep::StartDiscover(const RecorderAccess& recorder, size_t maxLines)
{
    Begin([this, recorder, maxLines] {
        CameraResult found;
        discover(recorder, maxLines, found);
        publish(found);
    });
}

CameraResult CameraStep::Discover(const RecorderAccess& recorder, size_t maxLines, const std::atomic<bool>* stop)
{
    StartDiscover(recorder, maxLines);
    WaitEnd(stop);
    return Result();
}

void CameraStep::StartRegister(
    const RecorderAccess& recorder, std::vector<RegistrationStep> steps, std::vector<CameraToSend> cameras)
{
    Begin([this, recorder, steps = std::move(steps), cameras = std::move(cameras)]() mutable {
        CameraResult found;
        registerAll(recorder, steps, cameras);
        found.steps = steps;
        found.outcome = std::all_of(steps.begin(), steps.end(), [](const RegistrationStep& step) { return step.done; })
            ? StepOutcome::Done
            : StepOutcome::Failed;
        if (found.outcome == StepOutcome::Failed)
            found.reason = "the recorder did not take every registration";
        publish(found);
    });
}

CameraResult CameraStep::Run(
    const RecorderAccess& recorder, const std::vector<WantedCamera>& wanted, const std::atomic<bool>* stop)
{
    Begin([this, recorder, wanted] {
        CameraResult found;
        discover(recorder, kMaxLines, found);
        if (found.search != CameraResult::Search::Listed) {
            found.outcome = StepOutcome::Failed;
            found.reason = "the recorder's cameras could not be listed";
            publish(found);
            return;
        }
        std::vector<std::unique_ptr<CameraRecord>> cameras = ReadLines(found.lines);
        for (const WantedCamera& want : wanted) {
            CameraResult::Camera entry;
            entry.mac = want.mac;
            const int index = FindCamera(cameras, want.mac);
            entry.seen = index >= 0;
            if (entry.seen) {
                const CameraRecord& camera = *cameras[static_cast<size_t>(index)];
                entry.ip = camera.ip;
                entry.model = camera.model;
                entry.name = want.name.empty() ? camera.model : want.name;
            } else {
                entry.problem = "not seen by the recorder";
            }
            found.cameras.push_back(entry);
        }
        if (HoldsExactly(cameras, wanted)) {
            for (CameraResult::Camera& entry : found.cameras) {
                entry.passwordKnown = true;
                entry.registered = true;
            }
            found.outcome = StepOutcome::AlreadyDone;
            publish(found);
            return;
        }

        // Every password first; a camera whose password is not known is not registered.
        int checked = 0;
        std::vector<std::string> heldPasswords(wanted.size()); // what the recorder lists for a camera it holds
        for (size_t i = 0; i < wanted.size() && Running(); ++i) {
            const int index = FindCamera(cameras, wanted[i].mac);
            if (index < 0)
                continue;
            CameraRecord& camera = *cameras[static_cast<size_t>(index)];
            if (IsOnRecorder(camera))
                heldPasswords[i] = camera.password;
            found.cameras[i].passwordKnown
                = makeSurePassword(camera, wanted[i].password, checked, found.cameras[i].problem);
            if (found.cameras[i].passwordKnown) {
                camera.selected = 1;
                ++checked;
            }
        }

        std::vector<RegistrationStep> steps = PlanRegistration(cameras);
        std::vector<CameraToSend> sends;
        for (const RegistrationStep& step : steps) {
            const CameraRecord& camera = *cameras[static_cast<size_t>(step.camera)];
            CameraToSend send { camera.ip, camera.mac, camera.model, camera.model, camera.brand, camera.password,
                ProtocolTypeValue(camera.protocolType) };
            for (const WantedCamera& want : wanted) {
                if (!want.name.empty() && Upper(want.mac) == Upper(camera.mac))
                    send.name = want.name;
            }
            sends.push_back(send);
        }
        if (Running())
            registerAll(recorder, steps, sends);
        ApplyRegistration(cameras, steps);
        found.steps = steps;

        found.outcome = StepOutcome::Done;
        for (size_t i = 0; i < wanted.size(); ++i) {
            const int index = FindCamera(cameras, wanted[i].mac);
            CameraResult::Camera& entry = found.cameras[i];
            entry.registered = index >= 0 && cameras[static_cast<size_t>(index)]->selected == 1;
            if (entry.passwordKnown && !entry.registered)
                entry.problem = "the recorder did not take it";
            // A kept camera is never touched: one the recorder holds with another password stays so, and says so.
            if (entry.registered && !heldPasswords[i].empty() && heldPasswords[i] != wanted[i].password) {
                found.outcome = StepOutcome::Failed;
                found.reason += (found.reason.empty() ? "" : "; ") + Upper(entry.mac)
                    + ": the recorder holds it with another password, left as it is";
            }
            if (!entry.registered) {
                found.outcome = StepOutcome::Failed;
                found.reason += (found.reason.empty() ? "" : "; ") + Upper(entry.mac) + ": " + entry.problem;
            }
        }
        // Removals of cameras the plan does not keep must have been taken too.
        for (const RegistrationStep& step : steps) {
            const CameraRecord& camera = *cameras[static_cast<size_t>(step.camera)];
            if (step.kind == RegistrationStep::Remove && !step.done && camera.selected != 1) {
                found.outcome = StepOutcome::Failed;
                found.reason
                    += (found.reason.empty() ? "" : "; ") + Upper(camera.mac) + ": the recorder did not remove it";
            }
        }
        publish(found);
    });
    WaitEnd(stop);
    return Result();
}

CameraResult CameraStep::Result() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return result;
}

void CameraStep::publish(const CameraResult& found)
{
    CameraResult out = found;
    if (!Running() && out.outcome != StepOutcome::Failed) {
        out.outcome = StepOutcome::Failed;
        out.reason = "stopped";
    }
    std::lock_guard<std::mutex> guard(resultLock);
    result = out;
}

// On the step's thread: asks the recorder for its camera lines. One deadline decides a search that gets no answer,
// so the same silence always ends the same way.
void CameraStep::discover(const RecorderAccess& recorder, size_t maxLines, CameraResult& out)
{
    out.search = CameraResult::Search::Stopped;
    client->Stop();
    if (!Pause(500, kPause))
        return;
    bool started = client->DiscoverCameras(recorder.ip, recorder.webPort, recorder.user, recorder.password);
    if (!started) {
        client->Stop();
        if (Pause(500, kPause))
            started = client->DiscoverCameras(recorder.ip, recorder.webPort, recorder.user, recorder.password);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDiscoveryDeadlineMs);
    while (started && client->State() == NvrClient::Busy && std::chrono::steady_clock::now() < deadline
        && Pause(100, kPause)) { }
    const int32_t state = client->State();
    if (!Running()) {
        out.search = CameraResult::Search::Stopped;
    } else if (started && state == NvrClient::Done) {
        out.search = CameraResult::Search::Listed;
        for (size_t i = 0; i < maxLines; ++i) {
            std::string line = client->NextListItem();
            if (line.empty())
                break;
            out.lines.push_back(std::move(line));
        }
    } else if (started && state == NvrClient::Failed && std::chrono::steady_clock::now() < deadline) {
        // An answer that arrived but is no list (the recorder's error page, a body cut short) says nothing about
        // the cameras; a refusal (4xx) is the recorder's word that it will not list them.
        const int32_t status = client->AnswerStatus();
        out.search = (status >= 200 && status <= 299) || status >= 500 ? CameraResult::Search::Unreadable
                                                                        : CameraResult::Search::Failed;
    } else {
        out.search = CameraResult::Search::TimedOut;
        client->Stop(); // a request still waiting ends here
    }
    out.outcome = out.search == CameraResult::Search::Listed ? StepOutcome::Done : StepOutcome::Failed;
}

// On the step's thread.
void CameraStep::registerAll(
    const RecorderAccess& recorder, std::vector<RegistrationStep>& steps, const std::vector<CameraToSend>& cameras)
{
    client->Stop();
    RegistrationLink link;
    link.readList = [this, &recorder] { return readList(recorder); };
    link.send = [this, &recorder, &cameras](RegistrationStep::Kind kind, size_t step, int32_t avdevId) {
        return step < cameras.size() && sendStep(recorder, kind, avdevId, cameras[step]);
    };
    link.running = [this] { return Running(); };
    RunRegistration(steps, link);
    client->Stop();
}

// On the step's thread.
std::optional<std::vector<std::string>> CameraStep::readList(const RecorderAccess& recorder)
{
    CameraResult read;
    discover(recorder, kMaxLines, read);
    if (read.search != CameraResult::Search::Listed)
        return std::nullopt;
    return read.lines;
}

// On the step's thread: one removal or registration; true when the recorder took it.
bool CameraStep::sendStep(
    const RecorderAccess& recorder, RegistrationStep::Kind kind, int32_t avdevId, const CameraToSend& camera)
{
    if (kind == RegistrationStep::Keep || !Pause(100, kPause))
        return false;
    bool started = false;
    if (kind == RegistrationStep::Remove) {
        started = client->DeleteCamera(recorder.ip, recorder.webPort, recorder.user, recorder.password, avdevId);
    } else {
        started = client->AddCamera(recorder.ip, recorder.webPort, recorder.user, recorder.password, avdevId,
            camera.name, camera.ip, camera.mac, camera.protocolType, "admin", camera.password, camera.brand,
            camera.model);
    }
    const bool done = started && Settle(50, 300, kPause) == NvrClient::Done && Running();
    if (done && kind == RegistrationStep::Remove)
        Pause(1000, kPause);
    client->Stop();
    Pause(800, kPause);
    return done;
}

// On the step's thread.
bool CameraStep::NeedsPasswordCreated(const CameraRecord& camera)
{
    const CameraRowState row { false, camera.verified == 1 || camera.account == "admin" };
    return DecideCheck(row, camera, 0) == CheckAction::CreatePassword;
}

bool CameraStep::makeSurePassword(
    CameraRecord& camera, const std::string& password, int checkedCount, std::string& problem)
{
    const CameraRowState row { false, camera.verified == 1 || camera.account == "admin" };
    const CheckAction action = DecideCheck(row, camera, checkedCount);
    if (action == CheckAction::Refuse) {
        problem = "more than " + std::to_string(kMaxCheckedCameras) + " cameras";
        return false;
    }
    if (action == CheckAction::Check && camera.password == password)
        return true;
    if (action == CheckAction::CreatePassword && !KeepsCameraPasswordRule(password)) {
        problem = "the password breaks the camera rule (6 to 30 characters, no \"/\", \":\", \"&\" or space)";
        return false;
    }

    // One job on a worker of its own, as the camera page runs it; the answer is awaited, its one-second tail not.
    auto tryJob = [this, &camera, &password](CameraPasswordJob::Kind kind) {
        CameraPasswordJob job;
        job.kind = kind;
        job.mac = camera.mac;
        job.address = camera.ip;
        job.useUdp = ProtocolTypeValue(camera.protocolType) == 0;
        job.model = camera.model;
        job.oldPassword = camera.password;
        job.password = password;
        std::atomic<int> answer { 0 }; // 0 pending, 1 refused, 2 accepted
        auto report = [&answer](const CameraPasswordJob&, bool taken) { answer.store(taken ? 2 : 1); };
        std::unique_ptr<CameraPasswordWorker> worker;
        if (kind == CameraPasswordJob::Create)
            worker = std::make_unique<CreatePasswordWorker>(discovery, job, report);
        else
            worker = std::make_unique<VerifyWorker>(discovery, job, report);
        worker->Start();
        for (int waited = 0; answer.load() == 0 && waited < kPasswordLimitMs && Pause(100, kPause); waited += 100) { }
        worker->Stop();
        return answer.load() == 2;
    };

    bool taken = false;
    if (action == CheckAction::CreatePassword) {
        taken = tryJob(CameraPasswordJob::Create);
        // A camera given this password before (an earlier run) refuses the change from an empty one: it has it.
        if (!taken && Running())
            taken = tryJob(CameraPasswordJob::Verify);
    } else {
        taken = tryJob(CameraPasswordJob::Verify);
    }
    if (taken) {
        camera.password = password;
        camera.verified = 1;
    } else {
        problem = action == CheckAction::CreatePassword ? "the camera did not take the new password"
                                                        : "the camera refused the password";
    }
    return taken;
}
