// Puts arbitrary bytes into every text of a report: the text form stays valid UTF-8 on its own lines, and no byte
// of the input becomes markup in the HTML form (it has exactly the tags of a report with plain texts).
#include "setup/report/SetupReport.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

SetupReport Filled(const std::vector<std::string>& texts)
{
    size_t next = 0;
    auto take = [&texts, &next] { return texts[next++ % texts.size()]; };
    SetupReport report;
    report.date = take();
    report.programVersion = take();
    ReportRecorder recorder;
    recorder.model = take();
    recorder.address = take();
    recorder.mac = take();
    recorder.webPort = 80;
    recorder.zone = take();
    recorder.disks = { { 1, take(), take() } };
    recorder.cameras = { { take(), take(), take(), take() } };
    recorder.cloudAccount = take();
    recorder.cloudNumber = take();
    recorder.steps = { { take(), StepOutcome::Failed, take() } };
    report.recorders = { recorder };
    return report;
}

bool ValidUtf8WithoutControls(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\n') || c == 0x7F)
                return false;
            ++i;
            continue;
        }
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t at; (at = input.find('|', start)) != std::string::npos; start = at + 1)
        texts.push_back(input.substr(start, at - start));
    texts.push_back(input.substr(start));

    ReportLabels labels;
    labels.title = texts.front();
    const SetupReport report = Filled(texts);
    if (!ValidUtf8WithoutControls(ReportText(report, labels)))
        std::abort();

    // The same report with every text that is not empty replaced by a plain word: the same rows and cells.
    std::vector<std::string> plainTexts;
    for (const std::string& text : texts)
        plainTexts.push_back(text.empty() ? std::string() : std::string(1, 'x'));
    ReportLabels plainLabels;
    plainLabels.title = plainTexts.front();
    const std::string html = ReportHtml(report, labels);
    const std::string plain = ReportHtml(Filled(plainTexts), plainLabels);
    if (std::count(html.begin(), html.end(), '<') != std::count(plain.begin(), plain.end(), '<')
        || std::count(html.begin(), html.end(), '>') != std::count(plain.begin(), plain.end(), '>')
        || std::count(html.begin(), html.end(), '"') != std::count(plain.begin(), plain.end(), '"'))
        std::abort();
    return 0;
}
