#include "DigestPeers.h"

#include "LighttpdServer.h"
#include "MhdServer.h"

namespace {

std::string withoutQuery(const std::string& url)
{
    return url.substr(0, url.find('?'));
}

class MhdPeer : public DigestPeer
{
public:
    MhdPeer(const std::string& password, const std::map<std::string, std::string>& files)
        : server([password, files](MHD_Connection* connection, const MhdRequest& request) {
            MHD_Result queued = MHD_NO;
            if (!MhdServer::digestAuthorised(connection, kRealm, "admin", password.c_str(), queued)) {
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
    LighttpdPeer(const std::string& password, const std::map<std::string, std::string>& files)
        : server(kRealm, { { "admin", password } }, files)
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

} // namespace

const char* PeerName(PeerKind kind)
{
    return kind == PeerKind::Microhttpd ? "libmicrohttpd" : "lighttpd";
}

std::unique_ptr<DigestPeer> StartDigestPeer(
    PeerKind kind, const std::string& password, const std::map<std::string, std::string>& files, std::string& failure)
{
    if (kind == PeerKind::Microhttpd) {
        return std::make_unique<MhdPeer>(password, files);
    }
    if (!LighttpdServer::Available()) {
        failure = "lighttpd is not installed";
        return nullptr;
    }
    auto peer = std::make_unique<LighttpdPeer>(password, files);
    if (!peer->Started()) {
        failure = peer->Failure();
        return nullptr;
    }
    return peer;
}
