#pragma once
// The setup report of one run of the wizard: what the session recorded of the recorder, its zone, disks, the
// cameras added and the cloud account, in the labels given (the wizard passes the pack's). No password goes in.

#include "session/WizardSession.h"
#include "setup/report/SetupReport.h"

#include <string>

// `date` is "YYYY-MM-DD HH:MM", `version` the program's version text.
SetupReport WizardReport(
    const WizardSession& session, const ReportLabels& labels, const std::string& date, const std::string& version);

// The name the save dialog suggests: "HXT-914Q setup report YYYY-MM-DD.txt" for a date "YYYY-MM-DD ...".
std::string ReportFileName(const std::string& date);

// Where the HTML form goes beside the text form: the same name with ".html" in place of a final ".txt", or added.
std::string HtmlPathBeside(const std::string& textPath);
