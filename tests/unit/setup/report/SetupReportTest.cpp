#include "setup/report/SetupReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SetupReport FilledReport()
{
    SetupReport report;
    report.date = "2024-05-01 14:30";
    report.programVersion = "V 2.02.00";

    ReportRecorder first;
    first.model = "HXT-914Q";
    first.address = "10.77.0.10";
    first.mac = "00:1A:2B:3C:4D:5E";
    first.webPort = 8080;
    first.zone = "(GMT+01:00) Amsterdam";
    first.disks = { { 1, "ST1000 931 GB", "formatted" }, { 2, "WD2000 1863 GB", "kept" } };
    first.cameras = { { "IPC-200", "10.77.0.21", "00:1A:2B:00:00:01", "Front door" },
        { "IPC-310W", "10.77.0.22", "00:1A:2B:00:00:02", "" } };
    first.cloudAccount = "me+nvr@example.com";
    first.cloudNumber = "7730012";
    first.steps = { { "password", StepOutcome::Done, "" }, { "zone", StepOutcome::AlreadyDone, "" },
        { "disks", StepOutcome::Failed, "disk 2 did not finish" },
        { "cloud", StepOutcome::Skipped, "not in the plan" } };

    ReportRecorder second;
    second.model = "HXT-914Q";
    second.address = "10.77.0.11";
    second.mac = "00:1A:2B:3C:4D:5F";
    second.webPort = 80;
    report.recorders = { first, second };
    return report;
}

TEST(SetupReport, bothFormsHoldEveryField)
{
    const SetupReport report = FilledReport();
    const std::vector<std::string> values = { "2024-05-01 14:30", "V 2.02.00", "HXT-914Q", "10.77.0.10",
        "00:1A:2B:3C:4D:5E", "8080", "(GMT+01:00) Amsterdam", "ST1000 931 GB", "formatted", "WD2000 1863 GB", "kept",
        "IPC-200", "10.77.0.21", "00:1A:2B:00:00:01", "Front door", "IPC-310W", "10.77.0.22", "00:1A:2B:00:00:02",
        "me+nvr@example.com", "7730012", "password", "already done", "disk 2 did not finish", "not in the plan",
        "10.77.0.11", "00:1A:2B:3C:4D:5F", "Setup report", "Recorder 2", "Web port", "Time zone", "Bound number",
        "Program version", "Steps", "skipped", "failed" };
    const std::string text = ReportText(report);
    const std::string html = ReportHtml(report);
    for (const std::string& value : values) {
        EXPECT_NE(text.find(value), std::string::npos) << "text lacks " << value;
        EXPECT_NE(html.find(value), std::string::npos) << "HTML lacks " << value;
    }
    // The second recorder has no zone, disk, camera or account: it says so rather than leaving blanks.
    const std::string secondPart = text.substr(text.find("Recorder 2"));
    EXPECT_NE(secondPart.find("Time zone         none\n"), std::string::npos) << secondPart;
    EXPECT_NE(secondPart.find("Cameras           none\n"), std::string::npos) << secondPart;
    EXPECT_EQ(secondPart.find("Bound number"), std::string::npos) << secondPart;
    EXPECT_EQ(secondPart.find("Steps"), std::string::npos) << secondPart;
}

TEST(SetupReport, textIsAlignedInColumnsEvenWithWideCharacters)
{
    ReportLabels labels;
    labels.model = "型号"; // two characters, four columns
    labels.version = "Program version"; // the widest label: values start at column 18
    const std::string text = ReportText(FilledReport(), labels);
    EXPECT_NE(text.find("\n型号" + std::string(14, ' ') + "HXT-914Q\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nMAC" + std::string(15, ' ') + "00:1A:2B:3C:4D:5E\n"), std::string::npos) << text;
    // Rows inside a field line up too, under the value column; the camera table has a header row.
    EXPECT_NE(text.find("\nCameras           型号      Address     MAC                Name\n"
                        "                  IPC-200   10.77.0.21  00:1A:2B:00:00:01  Front door\n"
                        "                  IPC-310W  10.77.0.22  00:1A:2B:00:00:02\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\nDisks             1  ST1000 931 GB   formatted\n"
                        "                  2  WD2000 1863 GB  kept\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\nSteps             password  done\n"
                        "                  zone      already done\n"
                        "                  disks     failed: disk 2 did not finish\n"),
        std::string::npos)
        << text;
}

TEST(SetupReport, textsFromDevicesCannotBreakEitherForm)
{
    SetupReport report = FilledReport();
    ReportRecorder& recorder = report.recorders[0];
    recorder.model = "<script>alert('x')</script>";
    recorder.zone = "Paris & \"Brussels\"";
    recorder.cameras[0].name = "Door\x1b[2J\r\nPassword: ";
    recorder.cameras[1].model = std::string("Cam\xff\xfe");
    ReportLabels labels;
    labels.title = "Report <b>";

    const std::string html = ReportHtml(report, labels);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("Paris &amp; &quot;Brussels&quot;"), std::string::npos);
    EXPECT_NE(html.find("<title>Report &lt;b&gt;</title>"), std::string::npos);

    const std::string text = ReportText(report, labels);
    for (const std::string* form : { &html, &text }) {
        EXPECT_EQ(form->find('\x1b'), std::string::npos);
        EXPECT_EQ(form->find('\r'), std::string::npos);
        EXPECT_EQ(form->find("\xff"), std::string::npos);
        EXPECT_NE(form->find("Door\xef\xbf\xbd[2J  Password:"), std::string::npos); // ESC shows as U+FFFD
        EXPECT_NE(form->find("Cam\xef\xbf\xbd"), std::string::npos);
    }
    // The name stays on its camera's line.
    EXPECT_NE(text.find("00:1A:2B:00:00:01  Door"), std::string::npos) << text;
}

TEST(SetupReport, htmlIsOneSelfContainedPageThatPrints)
{
    ReportLabels labels;
    labels.language = "zh-TW";
    const std::string html = ReportHtml(FilledReport(), labels);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"zh-TW\">", 0), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
    EXPECT_NE(html.find("</html>\n"), std::string::npos);
    for (const char* external : { "http://", "https://", "src=", "href=", "<link", "@import", "url(", "<script" })
        EXPECT_EQ(html.find(external), std::string::npos) << external;
    // One table per recorder.
    size_t tables = 0;
    for (size_t at = html.find("<table class=\"recorder\">"); at != std::string::npos;
         at = html.find("<table class=\"recorder\">", at + 1))
        ++tables;
    EXPECT_EQ(tables, 2u);
}

} // namespace
