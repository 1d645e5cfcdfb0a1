#include "setup/report/SetupReport.h"

#include "platform/CodePage.h"
#include "setup/report/TerminalText.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Columns a character takes in a terminal: two for the wide East Asian ranges, one otherwise.
int ColumnsOf(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// Calls `each` with every code point of a UTF-16 text (a lone surrogate is U+FFFD).
template <typename Each> void ForEachCodePoint(const std::u16string& text, Each each)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            each(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            each(kReplacement);
        } else {
            each(unit);
        }
    }
}

std::string Clean(const std::string& text)
{
    return TerminalLine(text);
}

int Columns(const std::string& cleanText)
{
    int columns = 0;
    ForEachCodePoint(Utf8ToUtf16(cleanText), [&columns](char32_t c) { columns += ColumnsOf(c); });
    return columns;
}

std::string Padded(const std::string& cleanText, int columns)
{
    return cleanText + std::string(static_cast<size_t>(std::max(0, columns - Columns(cleanText))), ' ');
}

std::string OrNone(const std::string& value, const ReportLabels& labels)
{
    return value.empty() ? labels.none : value;
}

std::string PortText(int port, const ReportLabels& labels)
{
    return port > 0 ? std::to_string(port) : labels.none;
}

const std::string& OutcomeWord(StepOutcome outcome, const ReportLabels& labels)
{
    switch (outcome) {
    case StepOutcome::Done:
        return labels.done;
    case StepOutcome::AlreadyDone:
        return labels.alreadyDone;
    case StepOutcome::Skipped:
        return labels.skipped;
    case StepOutcome::Failed:
        break;
    }
    return labels.failed;
}

using Row = std::vector<std::string>;

// Rows of cells in columns as wide as their widest cell, two spaces apart; the last column is not padded.
std::vector<std::string> AlignedRows(const std::vector<Row>& rows)
{
    std::vector<int> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], Columns(Clean(row[i])));
    }
    std::vector<std::string> lines;
    for (const Row& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? Padded(Clean(row[i]), widths[i]) + "  " : Clean(row[i]);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The rows of one recorder's table: a label and the lines of its value.
struct Field
{
    std::string label;
    std::vector<std::string> lines;
};

std::vector<Field> RecorderFields(const ReportRecorder& recorder, const ReportLabels& labels)
{
    std::vector<Field> fields = {
        { labels.model, { OrNone(recorder.model, labels) } },
        { labels.address, { OrNone(recorder.address, labels) } },
        { labels.mac, { OrNone(recorder.mac, labels) } },
        { labels.webPort, { PortText(recorder.webPort, labels) } },
        { labels.zone, { OrNone(recorder.zone, labels) } },
    };

    std::vector<Row> disks;
    for (const ReportDisk& disk : recorder.disks)
        disks.push_back({ std::to_string(disk.id), disk.description, disk.result });
    fields.push_back({ labels.disks, disks.empty() ? std::vector<std::string> { labels.none } : AlignedRows(disks) });

    std::vector<Row> cameras;
    if (!recorder.cameras.empty())
        cameras.push_back({ labels.model, labels.address, labels.mac, labels.cameraName });
    for (const ReportCamera& camera : recorder.cameras)
        cameras.push_back({ OrNone(camera.model, labels), camera.address, camera.mac, camera.name });
    fields.push_back(
        { labels.cameras, cameras.empty() ? std::vector<std::string> { labels.none } : AlignedRows(cameras) });

    fields.push_back({ labels.cloud, { OrNone(recorder.cloudAccount, labels) } });
    if (!recorder.cloudAccount.empty())
        fields.push_back({ labels.cloudNumber, { OrNone(recorder.cloudNumber, labels) } });

    if (!recorder.steps.empty()) {
        std::vector<Row> steps;
        for (const ReportStep& step : recorder.steps) {
            const std::string& word = OutcomeWord(step.outcome, labels);
            steps.push_back({ step.name, step.detail.empty() ? word : word + ": " + step.detail });
        }
        fields.push_back({ labels.steps, AlignedRows(steps) });
    }
    return fields;
}

std::string Underline(const std::string& cleanHeading, char mark)
{
    return std::string(static_cast<size_t>(Columns(cleanHeading)), mark);
}

std::string RecorderHeading(const ReportRecorder& recorder, size_t index, const ReportLabels& labels)
{
    std::string heading = labels.recorder + " " + std::to_string(index + 1);
    if (!recorder.mac.empty())
        heading += " (" + recorder.mac + ")";
    return heading;
}

std::string Escaped(const std::string& text)
{
    const std::string clean = Clean(text);
    std::string escaped;
    escaped.reserve(clean.size());
    for (char c : clean) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string HtmlCells(const Row& row, const char* cell)
{
    std::string html = "<tr>";
    for (const std::string& text : row)
        html += std::string("<") + cell + ">" + Escaped(text) + "</" + cell + ">";
    return html + "</tr>\n";
}

constexpr const char* kStyle = R"(
body { font-family: "Liberation Sans", Arial, "Microsoft YaHei", "Microsoft JhengHei", "Noto Sans CJK SC",
       "Noto Sans CJK TC", sans-serif; color: #222;
       margin: 2em auto; max-width: 60em; padding: 0 1em; line-height: 1.4; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin: 1.6em 0 0.4em; color: #1d7fa0; }
p.meta { color: #555; margin-top: 0; }
table { border-collapse: collapse; }
table.recorder { width: 100%; }
table.recorder > tbody > tr > th { text-align: left; vertical-align: top; width: 11em; padding: 0.35em 1em 0.35em 0;
       color: #636566; font-weight: normal; }
table.recorder > tbody > tr > td { padding: 0.35em 0; border-bottom: 1px solid #ddd; }
table.inner th, table.inner td { text-align: left; padding: 0 1.2em 0.15em 0; border: none; font-weight: normal; }
table.inner th { color: #636566; }
td.none { color: #888; }
@media print {
  body { margin: 0; max-width: none; color: #000; font-size: 10.5pt; }
  h2 { color: #000; }
  section { break-inside: avoid; page-break-inside: avoid; }
  table.recorder > tbody > tr > td { border-bottom: 1px solid #999; }
  @page { margin: 15mm; }
}
)";

} // namespace

std::string ReportText(const SetupReport& report, const ReportLabels& labels)
{
    std::vector<std::vector<Field>> recorders;
    int labelColumns = std::max(Columns(Clean(labels.date)), Columns(Clean(labels.version)));
    for (const ReportRecorder& recorder : report.recorders) {
        recorders.push_back(RecorderFields(recorder, labels));
        for (const Field& field : recorders.back())
            labelColumns = std::max(labelColumns, Columns(Clean(field.label)));
    }
    const int valueColumn = labelColumns + 3;
    auto fieldLines = [valueColumn](const Field& field) {
        std::string text;
        for (size_t i = 0; i < field.lines.size(); ++i) {
            text += Padded(i == 0 ? Clean(field.label) : std::string(), valueColumn) + Clean(field.lines[i]);
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            text += "\n";
        }
        return text;
    };

    const std::string title = Clean(labels.title);
    std::string text = title + "\n" + Underline(title, '=') + "\n\n";
    text += fieldLines({ labels.date, { OrNone(report.date, labels) } });
    text += fieldLines({ labels.version, { OrNone(report.programVersion, labels) } });
    for (size_t i = 0; i < report.recorders.size(); ++i) {
        const std::string heading = Clean(RecorderHeading(report.recorders[i], i, labels));
        text += "\n" + heading + "\n" + Underline(heading, '-') + "\n";
        for (const Field& field : recorders[i])
            text += fieldLines(field);
    }
    return text;
}

std::string ReportHtml(const SetupReport& report, const ReportLabels& labels)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + Escaped(labels.language) + "\">\n<head>\n"
        + "<meta charset=\"utf-8\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        + "<title>" + Escaped(labels.title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + Escaped(labels.title) + "</h1>\n";
    html += "<p class=\"meta\">" + Escaped(labels.date) + ": " + Escaped(OrNone(report.date, labels)) + "<br>"
        + Escaped(labels.version) + ": " + Escaped(OrNone(report.programVersion, labels)) + "</p>\n";

    for (size_t i = 0; i < report.recorders.size(); ++i) {
        const ReportRecorder& recorder = report.recorders[i];
        html += "<section>\n<h2>" + Escaped(RecorderHeading(recorder, i, labels)) + "</h2>\n";
        html += "<table class=\"recorder\">\n";
        auto plain = [&html, &labels](const std::string& label, const std::string& value) {
            html += "<tr><th>" + Escaped(label) + "</th>"
                + (value.empty() ? "<td class=\"none\">" + Escaped(labels.none) : "<td>" + Escaped(value))
                + "</td></tr>\n";
        };
        auto inner = [&html, &labels](const std::string& label, const std::vector<Row>& rows, bool headed) {
            if (rows.size() == (headed ? 1u : 0u)) {
                html
                    += "<tr><th>" + Escaped(label) + "</th><td class=\"none\">" + Escaped(labels.none) + "</td></tr>\n";
                return;
            }
            html += "<tr><th>" + Escaped(label) + "</th><td><table class=\"inner\">\n";
            for (size_t r = 0; r < rows.size(); ++r)
                html += HtmlCells(rows[r], headed && r == 0 ? "th" : "td");
            html += "</table></td></tr>\n";
        };
        plain(labels.model, recorder.model);
        plain(labels.address, recorder.address);
        plain(labels.mac, recorder.mac);
        plain(labels.webPort, recorder.webPort > 0 ? std::to_string(recorder.webPort) : std::string());
        plain(labels.zone, recorder.zone);

        std::vector<Row> disks;
        for (const ReportDisk& disk : recorder.disks)
            disks.push_back({ std::to_string(disk.id), disk.description, disk.result });
        inner(labels.disks, disks, false);

        std::vector<Row> cameras = { { labels.model, labels.address, labels.mac, labels.cameraName } };
        for (const ReportCamera& camera : recorder.cameras)
            cameras.push_back({ OrNone(camera.model, labels), camera.address, camera.mac, camera.name });
        inner(labels.cameras, cameras, true);

        plain(labels.cloud, recorder.cloudAccount);
        if (!recorder.cloudAccount.empty())
            plain(labels.cloudNumber, recorder.cloudNumber);

        if (!recorder.steps.empty()) {
            std::vector<Row> steps;
            for (const ReportStep& step : recorder.steps)
                steps.push_back({ step.name, OutcomeWord(step.outcome, labels), step.detail });
            inner(labels.steps, steps, false);
        }
        html += "</table>\n</section>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}
