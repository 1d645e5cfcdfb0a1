#include "net/Digest.h"

#include "net/AsciiText.h"

#include "platform/CodePage.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <vector>

namespace {

struct AuthParam
{
    std::string name;
    std::string value;
};

struct AuthChallenge
{
    std::string scheme;
    std::vector<AuthParam> params;
};

bool isTokenChar(char c)
{
    if (std::isalnum(static_cast<unsigned char>(c))) {
        return true;
    }
    switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '*':
    case '+':
    case '-':
    case '.':
    case '^':
    case '_':
    case '`':
    case '|':
    case '~':
        return true;
    default:
        return false;
    }
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

// A cursor over one header value. Grammar (RFC 7235, 7616):
//   challenges = challenge *( OWS "," OWS challenge )
//   challenge  = scheme [ 1*SP auth-param *( OWS "," OWS auth-param ) ]
//   auth-param = token BWS "=" BWS ( token / quoted-string )
class Lexer
{
public:
    explicit Lexer(std::string_view text)
        : text(text)
    {
    }

    bool atEnd() const { return pos >= text.size(); }
    char peek() const { return text[pos]; }
    size_t position() const { return pos; }
    void rewind(size_t to) { pos = to; }
    void advance() { ++pos; }

    void skipSpaces()
    {
        while (!atEnd() && isSpace(peek())) {
            ++pos;
        }
    }

    void skipSpacesAndCommas()
    {
        while (!atEnd() && (isSpace(peek()) || peek() == ',')) {
            ++pos;
        }
    }

    std::string_view token()
    {
        size_t start = pos;
        while (!atEnd() && isTokenChar(peek())) {
            ++pos;
        }
        return text.substr(start, pos - start);
    }

    // quoted-string = DQUOTE *( qdtext / "\" any ) DQUOTE; an unterminated one runs to the end.
    std::string quoted()
    {
        std::string value;
        ++pos; // opening quote
        while (!atEnd() && peek() != '"') {
            if (peek() == '\\' && pos + 1 < text.size()) {
                ++pos;
            }
            value += peek();
            ++pos;
        }
        if (!atEnd()) {
            ++pos; // closing quote
        }
        return value;
    }

    // Lenient unquoted value: everything up to a comma or white space (servers send bare Base64 nonces).
    std::string_view bareValue()
    {
        size_t start = pos;
        while (!atEnd() && peek() != ',' && !isSpace(peek())) {
            ++pos;
        }
        return text.substr(start, pos - start);
    }

    // Skips a malformed piece: up to the next comma outside quotes.
    void skipPiece()
    {
        bool inQuotes = false;
        while (!atEnd()) {
            char c = peek();
            if (inQuotes && c == '\\') {
                ++pos;
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == ',' && !inQuotes) {
                return;
            }
            ++pos;
        }
    }

private:
    std::string_view text;
    size_t pos = 0;
};

// Reads auth-params until the end or, with `stopAtScheme`, until a token that is not followed by "="
// (the scheme of the next challenge).
void readParams(Lexer& lex, std::vector<AuthParam>& params, bool stopAtScheme)
{
    while (true) {
        lex.skipSpacesAndCommas();
        if (lex.atEnd()) {
            return;
        }
        const size_t start = lex.position();
        std::string_view name = lex.token();
        if (name.empty()) {
            lex.skipPiece();
            continue;
        }
        lex.skipSpaces();
        if (lex.atEnd() || lex.peek() != '=') {
            if (stopAtScheme) {
                lex.rewind(start);
                return;
            }
            lex.skipPiece();
            continue;
        }
        lex.advance(); // '='
        lex.skipSpaces();
        AuthParam param;
        param.name = std::string(name);
        if (!lex.atEnd() && lex.peek() == '"') {
            param.value = lex.quoted();
        } else {
            param.value = std::string(lex.bareValue());
        }
        params.push_back(std::move(param));
        lex.skipSpaces();
        if (!lex.atEnd() && lex.peek() != ',') {
            lex.skipPiece(); // junk after a value
        }
    }
}

std::vector<AuthChallenge> parseChallenges(std::string_view headerValue)
{
    std::vector<AuthChallenge> challenges;
    Lexer lex(headerValue);
    while (true) {
        lex.skipSpacesAndCommas();
        if (lex.atEnd()) {
            break;
        }
        std::string_view scheme = lex.token();
        if (scheme.empty()) {
            lex.skipPiece();
            continue;
        }
        AuthChallenge challenge;
        challenge.scheme = std::string(scheme);
        readParams(lex, challenge.params, true);
        challenges.push_back(std::move(challenge));
    }
    return challenges;
}

const std::string* findParam(const std::vector<AuthParam>& params, std::string_view name)
{
    for (const AuthParam& param : params) {
        if (EqualsNoCase(param.name, name)) {
            return &param.value; // the first one counts
        }
    }
    return nullptr;
}

std::string chooseQop(std::string_view offered)
{
    bool authInt = false;
    Lexer lex(offered);
    while (true) {
        lex.skipSpacesAndCommas();
        if (lex.atEnd()) {
            break;
        }
        std::string_view option = lex.token();
        if (option.empty()) {
            lex.skipPiece();
            continue;
        }
        if (EqualsNoCase(option, "auth")) {
            return "auth";
        }
        authInt = authInt || EqualsNoCase(option, "auth-int");
    }
    return authInt ? "auth-int" : "";
}

bool isSessionAlgorithm(std::string_view algorithm)
{
    return EqualsNoCase(algorithm, "MD5-sess");
}

// 0: plain MD5 (named or implied), 1: MD5-sess, nothing: not something we can answer.
std::optional<int> algorithmRank(const std::vector<AuthParam>& params)
{
    const std::string* algorithm = findParam(params, "algorithm");
    if (algorithm == nullptr || algorithm->empty() || EqualsNoCase(*algorithm, "MD5")) {
        return 0;
    }
    if (isSessionAlgorithm(*algorithm)) {
        return 1;
    }
    return std::nullopt;
}

void loadChallenge(DigestState& state, const std::vector<AuthParam>& params)
{
    auto valueOf = [&params](std::string_view name) {
        const std::string* value = findParam(params, name);
        return value != nullptr ? *value : std::string();
    };
    state.realm = valueOf("realm");
    state.nonce = valueOf("nonce");
    state.algorithm = valueOf("algorithm");
    state.opaque = valueOf("opaque");
    state.stale = EqualsNoCase(valueOf("stale"), "true");
    const std::string* qop = findParam(params, "qop");
    state.qop = qop != nullptr ? chooseQop(*qop) : std::string();

    std::string cnonce = MakeClientNonce();
    for (char& c : cnonce) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    state.cnonce = cnonce;
    state.nonceCount = 0;
    state.ncText.clear();
}

bool fitsInHeader(std::string_view value)
{
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// The value as a quoted-string body: backslash before '"' and '\'.
std::string quote(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string hashHex(Md5& context, std::initializer_list<std::string_view> fields)
{
    context.Reset();
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) {
            context.Update(":", 1);
        }
        context.Update(field);
        first = false;
    }
    return Md5ToHex(context.Final());
}

} // namespace

void ParseChallenge(DigestState& state, std::string_view parameters)
{
    std::vector<AuthParam> params;
    Lexer lex(parameters);
    readParams(lex, params, false);
    loadChallenge(state, params);
}

bool SelectDigestChallenge(DigestState& state, std::string_view headerValue)
{
    const std::vector<AuthChallenge> challenges = parseChallenges(headerValue);
    const AuthChallenge* chosen = nullptr;
    int chosenRank = 2;
    for (const AuthChallenge& challenge : challenges) {
        if (!EqualsNoCase(challenge.scheme, "Digest")) {
            continue;
        }
        const std::string* nonce = findParam(challenge.params, "nonce");
        std::optional<int> rank = algorithmRank(challenge.params);
        if (nonce == nullptr || nonce->empty() || !rank || *rank >= chosenRank) {
            continue;
        }
        chosen = &challenge;
        chosenRank = *rank;
    }
    if (chosen == nullptr) {
        return false;
    }
    loadChallenge(state, chosen->params);
    return true;
}

std::string BuildDigestHeader(
    DigestState& state, std::string_view user, std::string_view password, std::string_view method, std::string_view uri)
{
    const std::string_view userBytes = AnsiBytes(user);
    const std::string_view passwordBytes = AnsiBytes(password);
    const std::string_view methodBytes = AnsiBytes(method);
    const std::string_view uriBytes = AnsiBytes(uri);
    for (std::string_view value : { userBytes, methodBytes, uriBytes, std::string_view(state.realm),
             std::string_view(state.nonce), std::string_view(state.cnonce), std::string_view(state.opaque),
             std::string_view(state.qop), std::string_view(state.algorithm) }) {
        if (!fitsInHeader(value)) {
            return {};
        }
    }
    // The algorithm goes out unquoted: only a token may be echoed.
    for (char c : state.algorithm) {
        if (!isTokenChar(c)) {
            return {};
        }
    }
    if (state.nonceCount < 0 || state.nonceCount >= 99999999) {
        return {};
    }
    const int32_t count = state.nonceCount + 1;
    char ncText[16];
    std::snprintf(ncText, sizeof ncText, "%.8d", int(count));

    Md5& md5 = state.hashContext;
    std::string ha1 = hashHex(md5, { userBytes, state.realm, passwordBytes });
    if (isSessionAlgorithm(state.algorithm)) {
        ha1 = hashHex(md5, { ha1, state.nonce, state.cnonce });
    }
    std::string ha2;
    if (state.qop == "auth-int") {
        // Only bodiless requests are answered here: the entity hash is that of the empty body.
        ha2 = hashHex(md5, { methodBytes, uriBytes, Md5Hex("") });
    } else {
        ha2 = hashHex(md5, { methodBytes, uriBytes });
    }
    const bool withQop = !state.qop.empty();
    const std::string response = withQop ? hashHex(md5, { ha1, state.nonce, ncText, state.cnonce, state.qop, ha2 })
                                         : hashHex(md5, { ha1, state.nonce, ha2 });

    // Field order and form: username,realm,nonce,uri[,cnonce,nc],algorithm,response[,qop][,opaque]
    std::string header = "Authorization: Digest username=\"" + quote(userBytes) + "\",realm=\"" + quote(state.realm)
        + "\",nonce=\"" + quote(state.nonce) + "\",uri=\"" + quote(uriBytes) + "\"";
    if (withQop) {
        header += ",cnonce=\"" + quote(state.cnonce) + "\",nc=" + ncText;
    }
    if (!state.algorithm.empty()) {
        header += ",algorithm=" + state.algorithm;
    }
    header += ",response=\"" + response + "\"";
    if (withQop) {
        header += ",qop=\"" + state.qop + "\"";
    }
    if (!state.opaque.empty()) {
        header += ",opaque=\"" + quote(state.opaque) + "\"";
    }
    if (header.size() > kMaxDigestHeader) {
        return {};
    }
    state.nonceCount = count;
    state.ncText = ncText;
    return header;
}

std::string MakeClientNonce()
{
    static const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static_assert(sizeof alphabet - 1 == 82);
    std::mt19937 generator(static_cast<uint32_t>(std::time(nullptr)));
    std::string nonce(32, '0');
    for (char& c : nonce) {
        c = alphabet[generator() % 82];
    }
    return nonce;
}
