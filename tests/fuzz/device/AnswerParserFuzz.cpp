// Feeds arbitrary answers to the answer parser the way the request object reads them (recorder lines,
// camera lists, cookie pairs): every split must stay in bounds and give back pieces of the text.
#include "device/AnswerParser.h"
#include "device/RecorderCommands.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the separator; the rest is the answer buffer.
    static const std::string_view separators[] = { "\r\n", "; ", "=", "", "\n", "\r\n\r\n" };
    const std::string_view separator = size > 0 ? separators[data[0] % 6] : separators[0];
    const char* bytes = size > 1 ? reinterpret_cast<const char*>(data) + 1 : nullptr;
    AnswerParser parser = AnswerParser::FromBytes(bytes, size > 1 ? size - 1 : 0);
    const std::string& text = parser.Text();
    if (text.find('\0') != std::string::npos || text.size() > size) {
        std::abort();
    }

    const int pairs = parser.SplitPairs(separator);
    if ((pairs == -1) != text.empty() || parser.Count() != (pairs < 0 ? 0 : pairs)) {
        std::abort();
    }
    std::string firstKey;
    for (int i = 0; i < parser.Count(); ++i) {
        const std::string value = parser.Item(i);
        if (value.size() >= text.size() || (!separator.empty() && value.find(separator) != std::string::npos)) {
            std::abort();
        }
        AnswerNumber(value);
    }
    for (const char* key : { "status", "portal_url", "quelmo", "" }) {
        const std::string value = parser.Value(key);
        if (*key == '\0' && !value.empty()) {
            std::abort();
        }
        if (!value.empty() && text.find(std::string(key) + "=" + value) == std::string::npos) {
            std::abort();
        }
    }

    const int items = parser.SplitList(separator);
    if ((items == -1) != text.empty()) {
        std::abort();
    }
    for (int i = 0; i < parser.Count(); ++i) {
        const std::string item = parser.Item(i);
        if (item.empty() || text.find(item) == std::string::npos) {
            std::abort();
        }
    }
    if (!parser.Item(parser.Count()).empty() || !parser.Item(-1).empty()) {
        std::abort();
    }
    return 0;
}
