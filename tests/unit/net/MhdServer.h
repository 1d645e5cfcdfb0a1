#pragma once
// A loopback libmicrohttpd server for HttpGet tests: its Digest check is code we did not write, so a
// request it accepts proves our Authorization header right. Records each request's headers.

#include <microhttpd.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct MhdRequest
{
    std::string method;
    std::string url;
    std::string authorization; // empty when the request carried none
};

class MhdServer
{
public:
    // Called once per request, after its body arrived; must queue a response.
    using Handler = std::function<MHD_Result(MHD_Connection*, const MhdRequest&)>;

    explicit MhdServer(Handler handler);
    // HTTPS with the given PEM key and certificate.
    MhdServer(Handler handler, const std::string& keyPem, const std::string& certificatePem);
    ~MhdServer();

    uint16_t port() const { return listenPort; }
    std::vector<MhdRequest> requests() const;

    static MHD_Result reply(MHD_Connection* connection, unsigned status, const std::string& body);

    // libmicrohttpd's own Digest check (MD5). True when the request is authorised; otherwise a 401
    // with a fresh challenge (stale=true for an outdated nonce) is queued into `queued`.
    static bool digestAuthorised(
        MHD_Connection* connection, const char* realm, const char* user, const char* password, MHD_Result& queued);

private:
    void start(bool tls);
    static MHD_Result onRequest(void* self, MHD_Connection* connection, const char* url, const char* method,
        const char* version, const char* uploadData, size_t* uploadSize, void** context);

    Handler handler;
    std::string keyPem;
    std::string certificatePem;
    MHD_Daemon* daemon = nullptr;
    uint16_t listenPort = 0;
    mutable std::mutex mutex;
    std::vector<MhdRequest> recorded;
};
