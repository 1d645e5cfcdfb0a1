// Feeds arbitrary portal answers and form texts to the cloud page's rules: the plain-text reading of an answer
// stays within its limit on one line; the checks never read past their input.
#include "device/PortalForms.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string shown = PortalAnswerAsPlainText(input);
    if (Utf8Length(shown) > kShownAnswerLimit || shown.find_first_of("\r\n\t") != std::string::npos) {
        std::abort();
    }
    if (!shown.empty() && (shown.front() == ' ' || shown.back() == ' ' || shown.find("  ") != std::string::npos)) {
        std::abort();
    }
    const bool valid = IsValidEmailAddress(input);
    if (valid && (input.find('@') == std::string_view::npos || input.find('.') == std::string_view::npos)) {
        std::abort();
    }
    if (IsPortalHostName(input)
        && input.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-")
            != std::string_view::npos) {
        std::abort();
    }
    BindAnswerIsSuccess(input, input.substr(0, size / 2));
    return 0;
}
