#include "setup/report/WizardReport.h"

#include "../../support/FinishedRecorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<CameraRecord> Camera(const std::string& model, const std::string& ip, const std::string& mac,
    const std::string& password, int32_t selected)
{
    auto camera = std::make_unique<CameraRecord>();
    camera->model = model;
    camera->ip = ip;
    camera->mac = mac;
    camera->password = password;
    camera->selected = selected;
    return camera;
}

// A session after a whole run, with a password wherever the wizard keeps one.
WizardSession FinishedSession()
{
    WizardSession session;
    SetFinishedRecorder(session);
    session.NoteDisk(2, "WD2000 (2000 GB)", WizardSession::DiskResult::Failed);
    session.NoteDisk(1, "ST1000 (1000 GB)", WizardSession::DiskResult::Formatted);
    session.AppendCamera(Camera("HXT-C210", "10.77.0.21", "00:1a:2b:00:00:01", "Camera4You", 1));
    session.AppendCamera(Camera("HXT-D300", "10.77.0.22", "00:1a:2b:00:00:02", "NotChosen9", 0));
    session.AppendCamera(Camera("HXT-C420W", "10.77.0.23:8000", "00:1a:2b:00:00:03", "Cam&Pass#1", 1));
    return session;
}

TEST(WizardReport, holdsWhatTheRunDidAndNoPassword)
{
    const WizardSession session = FinishedSession();
    const SetupReport report = WizardReport(session, ReportLabels {}, "2024-05-01 14:30", "V 2.02.00");
    EXPECT_EQ(report.date, "2024-05-01 14:30");
    EXPECT_EQ(report.programVersion, "V 2.02.00");
    ASSERT_EQ(report.recorders.size(), 1u);
    const ReportRecorder& recorder = report.recorders[0];
    EXPECT_EQ(recorder.model, "HXT-914Q");
    EXPECT_EQ(recorder.address, "10.77.0.10");
    EXPECT_EQ(recorder.mac, "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(recorder.webPort, 8080);
    EXPECT_EQ(recorder.zone, "(GMT+01:00) Amsterdam");
    ASSERT_EQ(recorder.disks.size(), 2u); // in port order
    EXPECT_EQ(recorder.disks[0].id, 1);
    EXPECT_EQ(recorder.disks[0].description, "ST1000 (1000 GB)");
    EXPECT_EQ(recorder.disks[0].result, "formatted");
    EXPECT_EQ(recorder.disks[1].result, "formatting failed");
    ASSERT_EQ(recorder.cameras.size(), 2u); // the chosen ones only
    EXPECT_EQ(recorder.cameras[0].model, "HXT-C210");
    EXPECT_EQ(recorder.cameras[0].address, "10.77.0.21");
    EXPECT_EQ(recorder.cameras[0].mac, "00:1a:2b:00:00:01");
    EXPECT_EQ(recorder.cameras[1].address, "10.77.0.23:8000");
    EXPECT_EQ(recorder.cloudAccount, "anna+nvr@example.com");
    EXPECT_EQ(recorder.cloudNumber, "7730012");
    EXPECT_TRUE(recorder.steps.empty());

    const std::string forms[] = { ReportText(report), ReportHtml(report) };
    for (const std::string& form : forms) {
        for (const char* password :
            { "Garden2024", "Camera4You", "NotChosen9", "Cam&Pass#1", "Cam&amp;Pass#1", "Sunflower77" })
            EXPECT_EQ(form.find(password), std::string::npos) << password << " in\n" << form;
        EXPECT_NE(form.find("HXT-C420W"), std::string::npos);
        EXPECT_EQ(form.find("HXT-D300"), std::string::npos);
    }
}

TEST(WizardReport, diskOutcomesFollowTheLastAttemptUnlessSkipped)
{
    WizardSession session;
    session.NoteDisk(1, "A", WizardSession::DiskResult::Failed);
    session.NoteDisk(1, "A", WizardSession::DiskResult::Kept, true); // SKIP after the failure keeps it
    session.NoteDisk(2, "B", WizardSession::DiskResult::Kept, true); // a disk only skipped is kept
    ReportLabels labels;
    labels.kept = "not formatted";
    SetupReport report = WizardReport(session, labels, "", "");
    ASSERT_EQ(report.recorders[0].disks.size(), 2u);
    EXPECT_EQ(report.recorders[0].disks[0].result, "formatting failed");
    EXPECT_EQ(report.recorders[0].disks[1].result, "not formatted");

    session.NoteDisk(1, "A", WizardSession::DiskResult::Formatted); // formatted on a second try
    report = WizardReport(session, labels, "", "");
    EXPECT_EQ(report.recorders[0].disks[0].result, "formatted");

    // No account bound: no number either, even when the portal record knew one.
    session.cloudNumber = "7730012";
    EXPECT_EQ(WizardReport(session, labels, "", "").recorders[0].cloudNumber, "");
}

TEST(WizardReport, filesAreNamedByTheDateAndSitSideBySide)
{
    EXPECT_EQ(ReportFileName("2024-05-01 14:30"), "HXT-914Q setup report 2024-05-01.txt");
    EXPECT_EQ(ReportFileName("2024-05-01"), "HXT-914Q setup report 2024-05-01.txt");
    EXPECT_EQ(HtmlPathBeside("/home/a/Desktop/r 2024.txt"), "/home/a/Desktop/r 2024.html");
    EXPECT_EQ(HtmlPathBeside("/home/a/report"), "/home/a/report.html");
    EXPECT_EQ(HtmlPathBeside("/home/a/.txt"), "/home/a/.html");
    EXPECT_EQ(HtmlPathBeside("notes.txt.bak"), "notes.txt.bak.html");
}

} // namespace
