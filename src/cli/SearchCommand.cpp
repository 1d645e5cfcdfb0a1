// hxt914q-cli search: one line per record of a full search, tab-separated.
#include "CliCommand.h"
#include "CliSearch.h"
#include "platform/FilePaths.h"

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
      "receive-buffer bytes granted.\n";

// A device's texts go to the output as one field: control bytes (tab and line ends among them) would
// break the line format, so each becomes a '?'.
std::string fieldText(std::string text)
{
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            c = '?';
        }
    }
    return text;
}

bool writeFigures(const SearchDevice::Figures& figures, const std::string& path)
{
    FILE* out = path == "-" ? stderr : OpenFile(path, "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "datagrams %u\ndropped %u\nlast-datagram-ms %lld\nreceive-buffer %d\n", figures.datagrams,
        figures.dropped, static_cast<long long>(figures.lastDatagramMs), figures.receiveBufferBytes);
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
    for (int32_t i = 0; i < search.recordCount.load(); ++i) {
        const auto record = search.Record(i);
        if (!record) {
            break;
        }
        std::printf("%d\t%s\t%s\t%s\t%u\t%d\t%u\n", i, fieldText(record->ModelText()).c_str(), record->IpText().c_str(),
            record->MacText().c_str(), record->WebPort(), record->interfaceIndex, record->unique);
    }
    if (options->Has("stats") && !writeFigures(search.LastFigures(), options->Get("stats"))) {
        std::fprintf(stderr, "hxt914q-cli search: cannot write %s\n", options->Get("stats").c_str());
        return kExitRefused;
    }
    return kExitSuccess;
}
