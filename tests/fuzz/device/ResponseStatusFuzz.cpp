// Feeds arbitrary response heads, line by line as libcurl delivers them, through the judgement a GET makes
// (status, 401 and 409, the switch to Digest) and then the way the request object answers a challenge
// and reads the portal's cookie: nothing may leave its bounds, and what we send back must stay one line.
#include "device/AnswerParser.h"
#include "net/Digest.h"
#include "net/HttpGet.h"
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
    }

    DigestState digest;
    HttpGet::AuthMode mode = HttpGet::AuthNone;
    const bool accepted = HttpGet::JudgeResponse(headers, digest, mode);
    const int status = headers.StatusCode();
    if (accepted != (status != 0 && status != 401 && status != 409)) {
        std::abort();
    }
    if (status != 401 && mode != HttpGet::AuthNone) {
        std::abort(); // only a 401 changes the mode
    }
    if (mode == HttpGet::AuthDigest) {
        // Three requests on one challenge count 1, 2, 3 (an RFC 2069 answer has no count); every header is
        // one line.
        for (int i = 1; i <= 3; ++i) {
            const std::string header = BuildDigestHeader(digest, "admin", "", "GET", "/config/quelmoportal");
            if (header.empty()) {
                break;
            }
            if (header.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos
                || (!digest.qop.empty() && header.find("nc=0000000" + std::to_string(i) + ",") == std::string::npos)) {
                std::abort();
            }
        }
    }

    std::string cookie;
    if (headers.SetCookie(cookie)) {
        AnswerParser pairs(cookie);
        pairs.SplitPairs("; ");
        const std::string value = pairs.Value("quelmo");
        if (value.find("; ") != std::string::npos || value.size() > ResponseHeaders::kMaxValue) {
            std::abort();
        }
    }
    return 0;
}
