#include "setup/report/WizardReport.h"

SetupReport WizardReport(
    const WizardSession& session, const ReportLabels& labels, const std::string& date, const std::string& version)
{
    SetupReport report;
    report.date = date;
    report.programVersion = version;

    ReportRecorder recorder;
    recorder.model = session.nvrModel;
    recorder.address = session.NvrIp();
    recorder.mac = session.NvrMac();
    recorder.webPort = session.nvrWebPort;
    recorder.zone = session.zoneName;
    for (const WizardSession::DiskOutcome& disk : session.disks) {
        const std::string& result = disk.result == WizardSession::DiskResult::Formatted ? labels.formatted
            : disk.result == WizardSession::DiskResult::Failed                          ? labels.formatFailed
                                                                                        : labels.kept;
        recorder.disks.push_back({ disk.id, disk.description, result });
    }
    for (int i = 0; i < session.CameraCount(); ++i) {
        const CameraRecord* camera = session.Camera(i);
        if (camera != nullptr && camera->selected == 1)
            recorder.cameras.push_back({ camera->model, camera->ip, camera->mac, std::string() });
    }
    recorder.cloudAccount = session.CloudEmail();
    if (!recorder.cloudAccount.empty())
        recorder.cloudNumber = session.cloudNumber;
    report.recorders.push_back(std::move(recorder));
    return report;
}

std::string ReportFileName(const std::string& date)
{
    return "HXT-914Q setup report " + date.substr(0, date.find(' ')) + ".txt";
}

std::string HtmlPathBeside(const std::string& textPath)
{
    const std::string suffix = ".txt";
    if (textPath.size() > suffix.size()
        && textPath.compare(textPath.size() - suffix.size(), suffix.size(), suffix) == 0)
        return textPath.substr(0, textPath.size() - suffix.size()) + ".html";
    return textPath + ".html";
}
