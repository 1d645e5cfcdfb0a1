// Feeds arbitrary answers to the time-zone readers the way the time-zone page reads them: the list must stay
// within its bounds (at most 200 names, none empty, no separator, no CR or LF at either end, valid UTF-8 of at
// most 256 UTF-16 units) and the current zone must be -1 or one of the zones listed.
#include "device/TimeZoneList.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto names = TimeZoneList::Parse(bytes, size);
    if (names.size() > TimeZoneList::kMaxZones) {
        std::abort();
    }
    for (const std::string& name : names) {
        const std::u16string wide = Utf8ToUtf16(name);
        if (name.empty() || name.find(';') != std::string::npos || name.find('\0') != std::string::npos
            || Utf16ToUtf8(wide) != name || wide.size() > TimeZoneList::kMaxNameChars) {
            std::abort();
        }
        const char first = name.front();
        const char last = name.back();
        if (first == '\r' || first == '\n' || last == '\r' || last == '\n') {
            std::abort();
        }
    }

    const std::string_view answer(bytes != nullptr ? bytes : "", bytes != nullptr ? size : 0);
    const int zone = TimeZoneList::CurrentZone(answer, names.size());
    if (zone != -1 && (zone < 1 || static_cast<size_t>(zone) > names.size())) {
        std::abort();
    }
    return 0;
}
