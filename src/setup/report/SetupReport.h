#pragma once
// The record of a setup, for the person who did it: what was set on each recorder, as plain text and as one
// self-contained HTML page that prints well. It never holds a password: the types below have no field for one.

#include <cstdint>
#include <string>
#include <vector>

enum class StepOutcome { Done, AlreadyDone, Skipped, Failed };

struct ReportStep
{
    std::string name; // "password", "zone", "disks", "cameras", "cloud"
    StepOutcome outcome = StepOutcome::Skipped;
    std::string detail; // the reason of a failure or a skip; empty otherwise
};

struct ReportDisk
{
    int32_t id = 0;
    std::string description; // as the recorder lists it (model, size)
    std::string result; // "formatted", "kept", or the failure
};

struct ReportCamera
{
    std::string model;
    std::string address;
    std::string mac;
    std::string name;
};

struct ReportRecorder
{
    std::string model;
    std::string address;
    std::string mac;
    int webPort = 0;
    std::string zone; // the zone's name; empty when not set
    std::vector<ReportDisk> disks;
    std::vector<ReportCamera> cameras;
    std::string cloudAccount; // e-mail; empty when not bound
    std::string cloudNumber; // the number the portal bound the recorder under
    std::vector<ReportStep> steps; // in order; empty for the wizard's report
};

struct SetupReport
{
    std::string date; // local date and time, "YYYY-MM-DD HH:MM"
    std::string programVersion;
    std::vector<ReportRecorder> recorders;
};

// The report's own words; English by default. The wizard fills them from the language pack.
struct ReportLabels
{
    std::string title = "Setup report";
    std::string recorder = "Recorder";
    std::string model = "Model";
    std::string address = "Address";
    std::string mac = "MAC";
    std::string webPort = "Web port";
    std::string zone = "Time zone";
    std::string disks = "Disks";
    std::string cameras = "Cameras";
    std::string cameraName = "Name";
    std::string cloud = "Cloud account";
    std::string cloudNumber = "Bound number";
    std::string none = "none";
    std::string date = "Date";
    std::string version = "Program version";
    std::string steps = "Steps";
    std::string done = "done"; // the step outcomes
    std::string alreadyDone = "already done";
    std::string skipped = "skipped";
    std::string failed = "failed";
    std::string formatted = "formatted"; // what became of a disk in the wizard
    std::string kept = "not formatted";
    std::string formatFailed = "formatting failed";
    std::string language = "en"; // the HTML page's language tag (picks the right glyphs for Chinese)
};

// Plain UTF-8 text, one field a line, the values in one column (wide characters count two columns). In every text
// of both forms line ends and tabs become spaces, and other control characters and bytes that are not UTF-8 show
// as U+FFFD, so a device's answer cannot break a line or move the cursor of the terminal that shows the report.
std::string ReportText(const SetupReport& report, const ReportLabels& labels = {});
// One HTML page with its style inside and nothing to fetch: a table per recorder, every text escaped, print rules
// that keep a recorder's table on one page.
std::string ReportHtml(const SetupReport& report, const ReportLabels& labels = {});
