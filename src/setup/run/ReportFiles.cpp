#include "setup/run/ReportFiles.h"

#include <cstdio>
#include <ctime>

std::string ReportFiles::HtmlPathBeside(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) && path.substr(dot) != ".html")
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
    std::tm local {};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

bool ReportFiles::writeFile(const std::string& path, const std::string& text)
{
    FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}
