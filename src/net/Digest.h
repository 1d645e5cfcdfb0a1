#pragma once
// HTTP Digest access authentication (RFC 2617 with RFC 2069 fallback), client side: reading a
// server's challenge and building the Authorization header that answers it with MD5 or MD5-sess.

#include "net/Md5.h"

#include <cstdint>
#include <string>
#include <string_view>

// One challenge and the requests made with it. Owned by the HttpGet that received the challenge.
struct DigestState
{
    std::string realm; // as the server sent it, quotes and escapes removed
    std::string nonce;
    std::string qop; // the chosen protection: "auth", "auth-int", or empty for an RFC 2069 answer
    std::string algorithm; // echoed as received ("MD5", "MD5-sess"); empty when the challenge named none
    std::string opaque; // echoed when the challenge carried one
    bool stale = false; // stale=true: the refused answer was right, only its nonce was outdated
    std::string ncText; // nonce count of the last header, 8 decimal digits
    std::string cnonce; // client nonce, 32 lower-case letters and digits
    Md5 hashContext; // scratch context, reset before each digest
    int32_t nonceCount = 0;
};

// Reads the auth-params of one Digest challenge (the WWW-Authenticate value after "Digest ") into
// `state`: quoted values keep spaces and commas, names are case-insensitive, a qop list picks "auth"
// (else "auth-int", else none). Every field of the previous challenge is replaced. Draws a new client
// nonce and restarts the nonce count. Never fails; malformed pieces are skipped.
void ParseChallenge(DigestState& state, std::string_view parameters);

// Reads a whole WWW-Authenticate value, which may hold several challenges of several schemes (and
// several header lines joined by ", "), and loads the Digest challenge to answer into `state`: the
// first one with algorithm MD5 (or none named), else the first MD5-sess one. Returns false and leaves
// `state` untouched when no Digest challenge with a nonce and one of those algorithms is present.
bool SelectDigestChallenge(DigestState& state, std::string_view headerValue);

// The complete header line "Authorization: Digest username=...". Advances the nonce count. Returns an
// empty text (and leaves the count alone) when the header cannot be built soundly: a value holding
// CR, LF or NUL, a nonce count past 99999999, or a header longer than kMaxDigestHeader.
std::string BuildDigestHeader(DigestState& state, std::string_view user, std::string_view password,
    std::string_view method, std::string_view uri);

// 32 characters drawn from letters and digits by a generator seeded with the time in seconds.
std::string MakeClientNonce();

inline constexpr size_t kMaxDigestHeader = 8192;
