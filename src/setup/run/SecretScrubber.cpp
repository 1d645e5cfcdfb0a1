#include "setup/run/SecretScrubber.h"

#include <algorithm>

SecretScrubber SecretScrubber::ForPlan(const SetupPlan& plan)
{
    SecretScrubber scrubber;
    for (const PlanRecorder& recorder : plan.recorders) {
        scrubber.Add(recorder.password);
        for (const PlanCamera& camera : recorder.cameras)
            scrubber.Add(camera.password);
        if (recorder.cloud)
            scrubber.Add(recorder.cloud->password);
    }
    return scrubber;
}

void SecretScrubber::Add(const std::string& secret)
{
    if (secret.size() >= 4 && std::find(secrets.begin(), secrets.end(), secret) == secrets.end())
        secrets.push_back(secret);
    std::sort(secrets.begin(), secrets.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
}

std::string SecretScrubber::Hide(std::string text) const
{
    for (const std::string& secret : secrets) {
        for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
            text.replace(at, secret.size(), "***");
    }
    return text;
}

SetupReport SecretScrubber::Hide(SetupReport report) const
{
    for (ReportRecorder& r : report.recorders) {
        for (std::string* text : { &r.model, &r.address, &r.mac, &r.zone, &r.cloudAccount, &r.cloudNumber })
            *text = Hide(*text);
        for (ReportDisk& disk : r.disks) {
            disk.description = Hide(disk.description);
            disk.result = Hide(disk.result);
        }
        for (ReportCamera& camera : r.cameras) {
            for (std::string* text : { &camera.model, &camera.address, &camera.mac, &camera.name })
                *text = Hide(*text);
        }
        for (ReportStep& step : r.steps)
            step.detail = Hide(step.detail);
    }
    return report;
}
