// Feeds arbitrary response header blocks, line by line as libcurl delivers them, to the header reader,
// then answers the challenges it kept: values must stay within their bounds and the status in range.
#include "net/Digest.h"
#include "net/ResponseHeaders.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    ResponseHeaders headers;
    while (!input.empty()) {
        const size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end == std::string_view::npos ? input.size() : end + 1);
        input.remove_prefix(line.size());
        headers.AddLine(line);
        const int status = headers.StatusCode();
        if (status != 0 && (status < 100 || status > 999)) {
            std::abort();
        }
        if (headers.WwwAuthenticate().size() > ResponseHeaders::kMaxValue) {
            std::abort();
        }
        std::string cookie;
        if (headers.SetCookie(cookie) && cookie.size() > ResponseHeaders::kMaxValue) {
            std::abort();
        }
    }
    DigestState state;
    if (SelectDigestChallenge(state, headers.WwwAuthenticate())) {
        BuildDigestHeader(state, "admin", "", "GET", "/");
    }
    return 0;
}
