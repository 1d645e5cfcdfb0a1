// hxt914q-cli search: one line per record of a full search, tab-separated.
#include "CliCommand.h"
#include "CliSearch.h"
#include "platform/FilePaths.h"

#include "setup/report/TerminalText.h"

#include <cstdio>
#include <string>

namespace {

const char* const kUsage
    = "usage: hxt914q-cli search [--stats FILE]\n"
      "Broadcasts the recorder search from every local IPv4 interface, waits 6 s and prints one\n"
      "line per answer, tab-separated: index, model, IPv4, MAC, web port, interface index,\n"
      "unique (1, or 0 for a repeat of an earlier line).\n"
      "--stats FILE writes the search's figures to FILE ('-': standard error), one 'name value' per line:\n"
      "datagrams queued, dropped by the system (receive buffers full), last-datagram-ms after the request,\n"
      "receive-buffer bytes granted, malformed answers dropped, repeats dropped (same bytes, same interface),\n"
      "over-cap answers dropped (a search keeps at most 2048 answers; then a note goes to standard error).\n";

bool writeFigures(const SearchDevice::Figures& figures, const std::string& path)
{
    FILE* out = path == "-" ? stderr : OpenFile(path, "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "datagrams %u\ndropped %u\nlast-datagram-ms %lld\nreceive-buffer %d\n", figures.datagrams,
        figures.dropped, static_cast<long long>(figures.lastDatagramMs), figures.receiveBufferBytes);
    std::fprintf(out, "malformed %u\nrepeats %u\nover-cap %u\n", figures.malformed, figures.repeats, figures.overCap);
    return out == stderr || std::fclose(out) == 0;
}

} // namespace

int RunSearch(const std::vector<std::string>& args)
{
    const auto options = CliOptions::Parse(args, { "stats" }, "search");
    if (!options) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    SearchDevice search;
    if (!RunFullSearch(search)) {
        std::fprintf(stderr, "hxt914q-cli search: the search request could not be sent\n");
        return kExitRefused;
    }
    // A device's text goes out as one field: line ends and tabs in it would break the line format, and
    // control sequences would steer the terminal.
    for (int32_t i = 0; i < search.recordCount.load(); ++i) {
        const auto record = search.Record(i);
        if (!record) {
            break;
        }
        std::printf("%d\t%s\t%s\t%s\t%u\t%d\t%u\n", i, TerminalLine(record->ModelText()).c_str(), record->IpText().c_str(),
            record->MacText().c_str(), record->WebPort(), record->interfaceIndex, record->unique);
    }
    if (const uint32_t left = search.LastFigures().overCap; left > 0) {
        std::fprintf(stderr, "hxt914q-cli search: %u more answers were left out (a search keeps at most %u)\n", left,
            SearchDevice::kMaxAnswersPerSearch);
    }
    if (options->Has("stats") && !writeFigures(search.LastFigures(), options->Get("stats"))) {
        std::fprintf(stderr, "hxt914q-cli search: cannot write %s\n", options->Get("stats").c_str());
        return kExitRefused;
    }
    return kExitSuccess;
}
