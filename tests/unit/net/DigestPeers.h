#pragma once
// The two Digest-only servers we did not write (libmicrohttpd's check, lighttpd's mod_auth) and a scripted
// one behind one face, so one table of cases runs against them all.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Scripted: our raw server, which challenges the first request with two Digest challenges (SHA-256 first, then
// MD5 with a 600-character nonce, both qops and an opaque) and answers every later request without checking it.
enum class PeerKind { Microhttpd, Lighttpd, Scripted };

struct PeerRequest
{
    std::string path; // without the query
    std::string authorization; // empty when the request carried none
};

class DigestPeer
{
public:
    static constexpr const char* kRealm = "HXT Recorder";

    virtual ~DigestPeer() = default;
    virtual uint16_t port() const = 0;
    virtual std::vector<PeerRequest> requests() const = 0;
};

const char* PeerName(PeerKind kind);

// Asks every path for Digest (MD5) credentials of `user` with `password` and answers a request it accepts with
// `files` (path without the query -> body; 404 for other paths). Nothing and a reason in `failure` when the
// server cannot run here (lighttpd not installed, for instance).
std::unique_ptr<DigestPeer> StartDigestPeer(PeerKind kind, const std::string& password,
    const std::map<std::string, std::string>& files, std::string& failure, const std::string& user = "admin");
