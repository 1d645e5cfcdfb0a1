#include "net/Digest.h"

#include "ReferenceMd5.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

namespace {

// The name=value fields of a built header (quoted values unescaped enough for these tests).
std::map<std::string, std::string> headerFields(const std::string& header)
{
    std::map<std::string, std::string> fields;
    static const std::regex field(R"re(([a-z]+)=("([^"]*)"|[^,]*))re");
    for (auto it = std::sregex_iterator(header.begin(), header.end(), field); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        fields[m[1]] = m[3].matched ? m[3].str() : m[2].str();
    }
    return fields;
}

// RFC 2617 section 3.5, answered for the worked example's client nonce.
TEST(Digest, rfc2617WorkedExampleGivesPrintedResponseAndHeader)
{
    DigestState state;
    ASSERT_TRUE(SelectDigestChallenge(state,
        "Digest realm=\"testrealm@host.com\", qop=\"auth,auth-int\", "
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", "
        "opaque=\"5ccc069c403ebaf9f0171e9517f40e41\""));
    EXPECT_EQ(state.qop, "auth");
    state.cnonce = "0a4f113b";
    const std::string header = BuildDigestHeader(state, "Mufasa", "Circle Of Life", "GET", "/dir/index.html");
    EXPECT_EQ(header,
        "Authorization: Digest username=\"Mufasa\",realm=\"testrealm@host.com\","
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\",uri=\"/dir/index.html\",cnonce=\"0a4f113b\","
        "nc=00000001,response=\"6629fae49393a05397450978507c4ef1\",qop=\"auth\","
        "opaque=\"5ccc069c403ebaf9f0171e9517f40e41\"");
}

TEST(Digest, challengeWithoutQopGetsRfc2069Answer)
{
    DigestState state;
    ParseChallenge(state, "realm=\"testrealm@host.com\", nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", algorithm=MD5");
    const std::string header = BuildDigestHeader(state, "Mufasa", "CircleOfLife", "GET", "/dir/index.html");
    const std::string ha1 = referenceMd5Hex("Mufasa:testrealm@host.com:CircleOfLife");
    const std::string ha2 = referenceMd5Hex("GET:/dir/index.html");
    EXPECT_EQ(header,
        "Authorization: Digest username=\"Mufasa\",realm=\"testrealm@host.com\","
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\",uri=\"/dir/index.html\",algorithm=MD5,"
        "response=\""
            + referenceMd5Hex(ha1 + ":dcd98b7102dd2f0e8b11d0f600bfb0c093:" + ha2) + "\"");
}

TEST(Digest, md5SessHashesNonceAndClientNonceIntoHa1)
{
    DigestState state;
    ParseChallenge(state, "realm=\"r\", nonce=\"n\", qop=\"auth\", algorithm=MD5-sess");
    state.cnonce = "c";
    const auto fields = headerFields(BuildDigestHeader(state, "u", "p", "GET", "/x"));
    const std::string ha1 = referenceMd5Hex(referenceMd5Hex("u:r:p") + ":n:c");
    const std::string ha2 = referenceMd5Hex("GET:/x");
    EXPECT_EQ(fields.at("algorithm"), "MD5-sess");
    EXPECT_EQ(fields.at("response"), referenceMd5Hex(ha1 + ":n:00000001:c:auth:" + ha2));
}

TEST(Digest, authIntOnlyHashesTheEmptyBody)
{
    DigestState state;
    ParseChallenge(state, "realm=\"r\", nonce=\"n\", qop=\"auth-int\"");
    state.cnonce = "c";
    const auto fields = headerFields(BuildDigestHeader(state, "u", "p", "GET", "/x"));
    const std::string ha2 = referenceMd5Hex("GET:/x:" + referenceMd5Hex(""));
    EXPECT_EQ(fields.at("qop"), "auth-int");
    EXPECT_EQ(fields.at("response"), referenceMd5Hex(referenceMd5Hex("u:r:p") + ":n:00000001:c:auth-int:" + ha2));
}

// Challenges as servers and cameras send them. Expected empty nonce means "no usable challenge".
TEST(Digest, selectsAndReadsRealWorldChallenges)
{
    const struct
    {
        const char* header;
        const char* realm;
        const char* nonce;
        const char* qop;
        const char* algorithm;
        const char* opaque;
    } cases[] = {
        // embedded web server library
        { "Digest realm=\"HXT "
          "Recorder\",qop=\"auth\",nonce=\"6a1b2c3d4e5f60718293a4b5c6d7e8f9a0b1c2d3\",opaque=\"0a1b\","
          "algorithm=MD5",
            "HXT Recorder", "6a1b2c3d4e5f60718293a4b5c6d7e8f9a0b1c2d3", "auth", "MD5", "0a1b" },
        // small web server with charset and spaces after commas
        { "Digest realm=\"HXT Recorder\", charset=\"UTF-8\", algorithm=MD5, nonce=\"66c7e0b2:1f0a9d4e\", qop=\"auth\"",
            "HXT Recorder", "66c7e0b2:1f0a9d4e", "auth", "MD5", "" },
        // Base64 nonce with '=' inside quotes, domain list with spaces, qop list
        { "Digest realm=\"private area\", nonce=\"QkK3rn8sBQA=45e2c6f1\", algorithm=MD5, domain=\"/cgi/ /img/\", "
          "qop=\"auth,auth-int\"",
            "private area", "QkK3rn8sBQA=45e2c6f1", "auth", "MD5", "" },
        // camera: qop first, realm with parentheses, stale flag
        { "Digest qop=\"auth\", realm=\"IP Camera(C2461)\", "
          "nonce=\"4e5468694e7a4d334f5441364f4745774e5459784e44513d\", "
          "stale=\"FALSE\"",
            "IP Camera(C2461)", "4e5468694e7a4d334f5441364f4745774e5459784e44513d", "auth", "", "" },
        // strongest first: the MD5 challenge is the one answered
        { "Digest realm=\"r\", nonce=\"n1\", algorithm=SHA-256, qop=\"auth\", Digest realm=\"r\", nonce=\"n2\", "
          "algorithm=MD5, qop=\"auth\", Basic realm=\"r\"",
            "r", "n2", "auth", "MD5", "" },
        // two header lines joined; Basic first, Digest without qop
        { "Basic realm=\"cam\", Digest realm=\"cam, rear door\", nonce=\"z\"", "cam, rear door", "z", "", "", "" },
        // MD5 preferred over an earlier MD5-sess
        { "Digest realm=\"a\", nonce=\"s\", algorithm=MD5-sess, Digest realm=\"b\", nonce=\"m\"", "b", "m", "", "",
            "" },
        { "Digest realm=\"a\", nonce=\"s\", algorithm=MD5-sess, qop=auth", "a", "s", "auth", "MD5-sess", "" },
        // unquoted values, case-insensitive scheme and names, escaped quote
        { "digest REALM=cam, Nonce=abc, QOP=auth, Algorithm=md5", "cam", "abc", "auth", "md5", "" },
        { "Digest realm=\"say \\\"hi\\\"\", nonce=\"n\"", "say \"hi\"", "n", "", "", "" },
        // only auth-int offered
        { "Digest realm=\"r\", nonce=\"n\", qop=\"auth-int\"", "r", "n", "auth-int", "", "" },
        // nothing we can answer
        { "Digest realm=\"r\", nonce=\"n\", algorithm=SHA-256", "", "", "", "", "" },
        { "Basic realm=\"HXT Recorder\"", "", "", "", "", "" },
        { "Digest realm=\"r\"", "", "", "", "", "" },
        { "Negotiate YWJjZGVm==", "", "", "", "", "" },
        { "", "", "", "", "", "" },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.header);
        DigestState state;
        state.realm = "untouched";
        const bool usable = SelectDigestChallenge(state, entry.header);
        ASSERT_EQ(usable, *entry.nonce != '\0');
        if (!usable) {
            EXPECT_EQ(state.realm, "untouched");
            continue;
        }
        EXPECT_EQ(state.realm, entry.realm);
        EXPECT_EQ(state.nonce, entry.nonce);
        EXPECT_EQ(state.qop, entry.qop);
        EXPECT_EQ(state.algorithm, entry.algorithm);
        EXPECT_EQ(state.opaque, entry.opaque);
    }
}

TEST(Digest, parameterListWithTrailingCommasAndUnquotedAlgorithm)
{
    DigestState state;
    ParseChallenge(state, "realm=\"cam\", nonce=\"abc\", qop=\"auth\", algorithm=MD5");
    EXPECT_EQ(state.realm, "cam");
    EXPECT_EQ(state.nonce, "abc");
    EXPECT_EQ(state.qop, "auth");
    EXPECT_EQ(state.algorithm, "MD5");
}

// A challenge replaces the whole previous one: a key it lacks does not keep the earlier value.
TEST(Digest, newChallengeReplacesEveryFieldAndDrawsLowerCaseClientNonce)
{
    const std::string full = "realm=\"r1\", nonce=\"n1\", qop=\"auth\", opaque=\"o1\", algorithm=MD5-sess, stale=true";
    const char* const lacking[] = {
        "nonce=\"n2\", qop=\"auth\", opaque=\"o2\", algorithm=MD5, stale=true", // no realm
        "realm=\"r2\", nonce=\"n2\", opaque=\"o2\", algorithm=MD5", // no qop: an RFC 2069 answer
        "realm=\"r2\", nonce=\"n2\", qop=\"auth\", algorithm=MD5", // no opaque
        "realm=\"r2\", nonce=\"n2\", qop=\"auth\", opaque=\"o2\"", // no algorithm
        "realm=\"r2\", nonce=\"n2\", qop=\"auth\", opaque=\"o2\", algorithm=MD5", // not stale
        "nonce=\"n2\"", // nothing but the nonce
    };
    DigestState first;
    ParseChallenge(first, full);
    EXPECT_TRUE(first.stale);
    EXPECT_EQ(first.opaque, "o1");
    for (const char* second : lacking) {
        SCOPED_TRACE(second);
        DigestState alone;
        ParseChallenge(alone, second);
        DigestState parsed;
        ParseChallenge(parsed, full);
        ParseChallenge(parsed, second);
        DigestState selected;
        ASSERT_TRUE(SelectDigestChallenge(selected, "Digest " + full));
        ASSERT_TRUE(SelectDigestChallenge(selected, std::string("Digest ") + second));
        for (const DigestState* state : { &parsed, &selected }) {
            EXPECT_EQ(state->realm, alone.realm);
            EXPECT_EQ(state->nonce, alone.nonce);
            EXPECT_EQ(state->qop, alone.qop);
            EXPECT_EQ(state->opaque, alone.opaque);
            EXPECT_EQ(state->algorithm, alone.algorithm);
            EXPECT_EQ(state->stale, alone.stale);
            EXPECT_TRUE(std::regex_match(state->cnonce, std::regex("[0-9a-z]{32}"))) << state->cnonce;
        }
        // Nothing of the first challenge reaches the header.
        const std::string header = BuildDigestHeader(parsed, "admin", "pw", "GET", "/");
        EXPECT_EQ(header.find("\"o1\""), std::string::npos) << header; // quoted: the random cnonce may hold "o1"
        EXPECT_EQ(header.find("\"r1\""), std::string::npos) << header;
        EXPECT_EQ(header.find("MD5-sess"), std::string::npos) << header;
    }
}

TEST(Digest, nonceCountAdvancesPerHeaderAndRestartsWithNewChallenge)
{
    DigestState state;
    ParseChallenge(state, "realm=\"r\", nonce=\"n\", qop=\"auth\"");
    for (const char* expected : { "00000001", "00000002", "00000003" }) {
        EXPECT_EQ(headerFields(BuildDigestHeader(state, "admin", "pw", "GET", "/a")).at("nc"), expected);
    }
    ParseChallenge(state, "realm=\"r\", nonce=\"m\", qop=\"auth\"");
    EXPECT_EQ(headerFields(BuildDigestHeader(state, "admin", "pw", "GET", "/a")).at("nc"), "00000001");
    EXPECT_EQ(state.ncText, "00000001");
}

TEST(Digest, refusesHeadersThatCannotBeBuiltSoundly)
{
    DigestState state;
    ParseChallenge(state, "realm=\"r\", nonce=\"n\", qop=\"auth\"");
    EXPECT_EQ(BuildDigestHeader(state, "ad\r\nX-Evil: 1", "pw", "GET", "/"), "");
    EXPECT_EQ(BuildDigestHeader(state, "admin", "pw", "GET", "/a\nb"), "");
    EXPECT_EQ(BuildDigestHeader(state, "admin", "pw", "GET", "/" + std::string(kMaxDigestHeader, 'a')), "");
    EXPECT_EQ(state.nonceCount, 0) << "a refused header must not use up a count";
    state.nonceCount = 99999999;
    EXPECT_EQ(BuildDigestHeader(state, "admin", "pw", "GET", "/"), "");

    // Quotes and backslashes in echoed values are escaped; the hash covers the raw value.
    DigestState quoted;
    ParseChallenge(quoted, "realm=\"a\\\"b\", nonce=\"n\"");
    const std::string header = BuildDigestHeader(quoted, "us\"er", "pw", "GET", "/");
    EXPECT_NE(header.find("username=\"us\\\"er\",realm=\"a\\\"b\""), std::string::npos) << header;
}

TEST(Digest, passwordBytesAreHashedAsUtf8)
{
    DigestState state;
    ParseChallenge(state, "realm=\"r\", nonce=\"n\"");
    const auto fields = headerFields(BuildDigestHeader(state, "admin", "p\xc3\xa4ss", "GET", "/"));
    const std::string expected
        = referenceMd5Hex(referenceMd5Hex("admin:r:p\xc3\xa4ss") + ":n:" + referenceMd5Hex("GET:/"));
    EXPECT_EQ(fields.at("response"), expected);
}

TEST(Digest, clientNonceUsesTheAlphabetAndRepeatsWithinOneSecond)
{
    const std::string first = MakeClientNonce();
    const std::string second = MakeClientNonce();
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9a-zA-Z]{32}"))) << first;
    // Seeded from the time in whole seconds: equal unless the second turned between the two draws.
    if (first != second) {
        EXPECT_EQ(MakeClientNonce(), MakeClientNonce());
    }
}

} // namespace
