// hxt914q-cli search: one line per record of a full search, tab-separated.
#include "CliCommand.h"
#include "CliSearch.h"

#include <cstdio>

namespace {

const char* const kUsage = "usage: hxt914q-cli search\n"
                           "Broadcasts the recorder search from every local IPv4 interface, waits 6 s and prints one\n"
                           "line per answer, tab-separated: index, model, IPv4, MAC, web port, interface index,\n"
                           "unique (1, or 0 for a repeat of an earlier line).\n";

} // namespace

int RunSearch(const std::vector<std::string>& args)
{
    const auto options = CliOptions::Parse(args, {}, "search");
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
        std::printf("%d\t%s\t%s\t%s\t%u\t%d\t%u\n", i, record->ModelText().c_str(), record->IpText().c_str(),
            record->MacText().c_str(), record->WebPort(), record->interfaceIndex, record->unique);
    }
    return kExitSuccess;
}
