#include "setup/run/ReportFiles.h"

#include "platform/FilePaths.h"
#include "platform/ProcessConsole.h"

#include <cstdio>
#include <ctime>

std::string ReportFiles::HtmlPathBeside(const std::string& path)
{
    const size_t nameStart = FileNameStart(path);
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart && path.substr(dot) != ".html")
        return path.substr(0, dot) + ".html";
    return path + ".html";
}

bool ReportFiles::Write(const std::string& textPath, const SetupReport& report, const ReportLabels& labels)
{
    return writeFile(textPath, ReportText(report, labels))
        && writeFile(HtmlPathBeside(textPath), ReportHtml(report, labels));
}

std::string ReportFiles::LocalDate()
{
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

bool ReportFiles::writeFile(const std::string& path, const std::string& text)
{
    FILE* out = OpenFile(path, "w");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}
