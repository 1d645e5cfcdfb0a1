// Feeds arbitrary WWW-Authenticate values to the challenge reader and answers what it accepts: the
// reader must stay in bounds, and an answer must be one header line without CR, LF or NUL.
#include "net/Digest.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    DigestState state;
    if (SelectDigestChallenge(state, input)) {
        if (state.nonce.empty()) {
            std::abort();
        }
        const std::string header = BuildDigestHeader(state, "admin", "pw", "GET", "/cgi-bin/a?b=c");
        if (!header.empty()
            && (header.rfind("Authorization: Digest ", 0) != 0
                || header.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos
                || header.size() > kMaxDigestHeader)) {
            std::abort();
        }
    }

    DigestState single;
    ParseChallenge(single, input);
    if (single.qop != "" && single.qop != "auth" && single.qop != "auth-int") {
        std::abort();
    }
    BuildDigestHeader(single, "admin", "", "GET", "/");
    return 0;
}
