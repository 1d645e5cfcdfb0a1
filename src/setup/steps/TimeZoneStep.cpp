#include "setup/steps/TimeZoneStep.h"

#include "device/TimeZoneList.h"
#include "net/HttpGet.h"

#include <cstring>
#include <vector>

namespace {

// A whole answer to a GET and its status.
struct Answer
{
    bool arrived = false;
    int status = 0;
    std::string body;

    bool Success() const { return arrived && status >= 200 && status <= 299; }
};

// GETs path on an opened connection and reads the whole answer (at most 63999 bytes). A recorder still without a
// password answers the first request with a Digest challenge; the same connection then asks once more.
Answer Fetch(HttpGet& http, const std::string& path)
{
    Answer answer;
    std::vector<char> buffer(TimeZoneStep::kAnswerBytes, 0);
    size_t size = buffer.size();
    const bool fetched = http.GetAuthorised(path, buffer.data(), &size);
    if (!fetched || !http.QueryStatusCode(answer.status))
        return answer;
    answer.arrived = true;
    answer.body.assign(buffer.data(), size); // every byte: a zero byte damages one zone name, not the rest
    return answer;
}

} // namespace

TimeZoneStep::TimeZoneStep()
    : StepWorker(nullptr)
{
}

TimeZoneStep::~TimeZoneStep()
{
    Stop();
}

void TimeZoneStep::StartRead(const RecorderAccess& recorder, int language)
{
    Begin([this, recorder, language] {
        TimeZoneResult found;
        read(recorder, language, found);
        publish(found);
    });
}

void TimeZoneStep::StartSet(const RecorderAccess& recorder, int zoneNumber)
{
    Begin([this, recorder, zoneNumber] {
        TimeZoneResult found;
        set(recorder, zoneNumber, found);
        publish(found);
    });
}

TimeZoneResult TimeZoneStep::Read(const RecorderAccess& recorder, int language, const std::atomic<bool>* stop)
{
    StartRead(recorder, language);
    WaitEnd(stop);
    return Result();
}

TimeZoneResult TimeZoneStep::Run(const RecorderAccess& recorder, int zoneNumber, const std::atomic<bool>* stop)
{
    Begin([this, recorder, zoneNumber] {
        TimeZoneResult found;
        read(recorder, kEnglish, found);
        if (found.outcome == StepOutcome::Done) {
            if (found.currentZone == zoneNumber) {
                found.outcome = StepOutcome::AlreadyDone;
                found.zoneSet = zoneNumber;
            } else if (zoneNumber < 1 || zoneNumber > static_cast<int>(found.names.size())) {
                found.outcome = StepOutcome::Failed;
                found.reason = "the recorder lists no zone " + std::to_string(zoneNumber);
            } else {
                set(recorder, zoneNumber, found);
            }
        }
        publish(found);
    });
    WaitEnd(stop);
    return Result();
}

TimeZoneResult TimeZoneStep::Result() const
{
    std::lock_guard<std::mutex> guard(resultLock);
    return result;
}

void TimeZoneStep::publish(const TimeZoneResult& found)
{
    TimeZoneResult out = found;
    if (!Running() && out.outcome != StepOutcome::Failed) {
        out.outcome = StepOutcome::Failed;
        out.reason = "stopped";
    }
    std::lock_guard<std::mutex> guard(resultLock);
    result = out;
}

// On the step's thread.
void TimeZoneStep::read(const RecorderAccess& recorder, int language, TimeZoneResult& out)
{
    {
        HttpGet http;
        if (OpenRequest(http, recorder.ip, recorder.user, recorder.password, kRequestTimeoutMs, 0, recorder.webPort)) {
            const Answer list = Fetch(http, "/config/timezonelist?language=" + std::to_string(language));
            if (list.Success()) {
                out.listRead = true;
                out.names = TimeZoneList::Parse(list.body.data(), list.body.size());
                const Answer now = Running() ? Fetch(http, "/config/datetime") : Answer();
                if (now.Success()) {
                    out.zoneRead = true;
                    out.currentZone = TimeZoneList::CurrentZone(now.body, out.names.size());
                }
            }
        }
        ForgetRequest();
    }
    out.outcome = out.listRead && out.zoneRead ? StepOutcome::Done : StepOutcome::Failed;
    if (out.outcome == StepOutcome::Failed)
        out.reason = out.listRead ? "the recorder's current zone could not be read"
                                  : "the recorder's zone list could not be read";
}

// On the step's thread.
void TimeZoneStep::set(const RecorderAccess& recorder, int zoneNumber, TimeZoneResult& out)
{
    out.setting = TimeZoneResult::Setting::NetworkFailed;
    out.zoneSet = zoneNumber;
    {
        HttpGet http;
        if (OpenRequest(http, recorder.ip, recorder.user, recorder.password, kRequestTimeoutMs, 0, recorder.webPort)) {
            const Answer answer = Fetch(http, "/config/datetime?timezone=" + std::to_string(zoneNumber));
            const bool refused
                = answer.arrived && (answer.status == 400 || answer.body.find(kRefused) != std::string::npos);
            if (refused || answer.Success()) {
                out.setting = refused ? TimeZoneResult::Setting::Refused : TimeZoneResult::Setting::Done;
                // The zone was answered: recording starts whatever the answer was; its own answer does not matter.
                if (Running())
                    Fetch(http, "/config/manrecord?record=1");
            }
        }
        ForgetRequest();
    }
    switch (out.setting) {
    case TimeZoneResult::Setting::Done:
        out.outcome = StepOutcome::Done;
        out.reason.clear();
        break;
    case TimeZoneResult::Setting::Refused:
        out.outcome = StepOutcome::Failed;
        out.reason = "the recorder refused zone " + std::to_string(zoneNumber) + " (" + kRefused + ")";
        break;
    default:
        out.outcome = StepOutcome::Failed;
        out.reason = "the zone could not be sent to the recorder";
        break;
    }
}
