#pragma once
// The setup report on disk: the plain text at the path asked for and the HTML page beside it.

#include "setup/report/SetupReport.h"

#include <string>

class ReportFiles
{
public:
    // "report.html" beside "report.txt" (or beside "report": "report.html"; beside "x.html": "x.html.html").
    static std::string HtmlPathBeside(const std::string& textPath);
    // Writes both forms. False when either cannot be written whole.
    static bool Write(const std::string& textPath, const SetupReport& report, const ReportLabels& labels);
    // The local date and time as the report gives it ("YYYY-MM-DD HH:MM").
    static std::string LocalDate();

private:
    static bool writeFile(const std::string& path, const std::string& text);
};
