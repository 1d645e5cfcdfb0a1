// Pack reader on arbitrary bytes. Input: one byte n, then n bytes of key (n is taken modulo 64), then
// the pack file. Values must stay within the 4095-unit bound whatever the file holds.
#include "i18n/PackReader.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(std::string_view pack, std::string_view section, std::string_view key)
{
    const auto value = PackReader::Lookup(pack, section, key);
    if (value && Utf8ToUtf16(*value).size() > PackReader::kMaxValueUnits) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) {
        check(input, "language", "OK");
        return 0;
    }
    const size_t keyLength = std::min<size_t>(static_cast<uint8_t>(input[0]) % 64, input.size() - 1);
    const std::string_view key = input.substr(1, keyLength);
    const std::string_view pack = input.substr(1 + keyLength);
    check(pack, "language", key);
    check(pack, "LANGUAGE", "SKIP");
    check(pack, "language", "nvrpwd_04 ");
    check(pack, key, key);
    return 0;
}
