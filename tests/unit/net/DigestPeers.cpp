#include "DigestPeers.h"

#include "LighttpdServer.h"
#include "MhdServer.h"
#include "RawHttpServer.h"

namespace {

std::string withoutQuery(const std::string& url)
{
    return url.substr(0, url.find('?'));
}

class MhdPeer : public DigestPeer
{
public:
    MhdPeer(const std::string& user, const std::string& password, const std::map<std::string, std::string>& files)
        : server([user, password, files](MHD_Connection* connection, const MhdRequest& request) {
            MHD_Result queued = MHD_NO;
            if (!MhdServer::digestAuthorised(connection, kRealm, user.c_str(), password.c_str(), queued)) {
                return queued;
            }
            const auto found = files.find(request.url);
            return found == files.end() ? MhdServer::reply(connection, 404, "")
                                        : MhdServer::reply(connection, 200, found->second);
        })
    {
    }

    uint16_t port() const override { return server.port(); }

    std::vector<PeerRequest> requests() const override
    {
        std::vector<PeerRequest> out;
        for (const MhdRequest& request : server.requests()) {
            out.push_back({ withoutQuery(request.url), request.authorization });
        }
        return out;
    }

private:
    MhdServer server;
};

class LighttpdPeer : public DigestPeer
{
public:
    LighttpdPeer(const std::string& user, const std::string& password, const std::map<std::string, std::string>& files)
        : server(kRealm, { { user, password } }, files)
    {
    }

    bool Started() const { return server.Started(); }
    const std::string& Failure() const { return server.Failure(); }
    uint16_t port() const override { return server.port(); }

    std::vector<PeerRequest> requests() const override
    {
        std::vector<PeerRequest> out;
        for (const LighttpdRequest& request : server.requests()) {
            out.push_back({ withoutQuery(request.url), request.authorization });
        }
        return out;
    }

private:
    LighttpdServer server;
};

class ScriptedPeer : public DigestPeer
{
public:
    explicit ScriptedPeer(const std::map<std::string, std::string>& files)
        : server([files](size_t index, const RawRequest& request) {
            if (index == 0) {
                RawResponse challenge;
                challenge.bytes = "HTTP/1.1 401 Unauthorized\r\n"
                                  "WWW-Authenticate: Digest realm=\"r\", nonce=\"n1\", algorithm=SHA-256, qop=\"auth\"\r\n"
                                  "WWW-Authenticate: Digest realm=\""
                    + std::string(kRealm) + "\", nonce=\"" + std::string(600, 'f')
                    + "\", qop=\"auth,auth-int\", opaque=\"op\"\r\n"
                      "Content-Length: 0\r\n\r\n";
                return challenge;
            }
            const auto found = files.find(pathOf(request));
            return found == files.end() ? RawResponse::make(404, "") : RawResponse::make(200, found->second);
        })
    {
    }

    uint16_t port() const override { return server.port(); }

    std::vector<PeerRequest> requests() const override
    {
        std::vector<PeerRequest> out;
        for (const RawRequest& request : server.requests()) {
            out.push_back({ pathOf(request), request.header("Authorization") });
        }
        return out;
    }

private:
    // The path of "GET /path?query HTTP/1.1", without the query.
    static std::string pathOf(const RawRequest& request)
    {
        const std::string line = request.requestLine();
        const size_t start = line.find(' ') + 1;
        return withoutQuery(line.substr(start, line.find(' ', start) - start));
    }

    RawHttpServer server;
};

} // namespace

const char* PeerName(PeerKind kind)
{
    switch (kind) {
    case PeerKind::Microhttpd:
        return "libmicrohttpd";
    case PeerKind::Lighttpd:
        return "lighttpd";
    case PeerKind::Scripted:
        break;
    }
    return "scripted";
}

std::unique_ptr<DigestPeer> StartDigestPeer(PeerKind kind, const std::string& password,
    const std::map<std::string, std::string>& files, std::string& failure, const std::string& user)
{
    if (kind == PeerKind::Microhttpd) {
        return std::make_unique<MhdPeer>(user, password, files);
    }
    if (kind == PeerKind::Scripted) {
        return std::make_unique<ScriptedPeer>(files);
    }
    if (!LighttpdServer::Available()) {
        failure = "lighttpd is not installed";
        return nullptr;
    }
    auto peer = std::make_unique<LighttpdPeer>(user, password, files);
    if (!peer->Started()) {
        failure = peer->Failure();
        return nullptr;
    }
    return peer;
}
