#include "MhdServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <stdexcept>

namespace {

// Fixed bytes are fine for a test server: they only make nonces unguessable.
char nonceKey[] = "hxt-test-server-nonce-key-0123456789";

} // namespace

MhdServer::MhdServer(Handler handler)
    : handler(std::move(handler))
{
    start(false);
}

MhdServer::MhdServer(Handler handler, const std::string& keyPem, const std::string& certificatePem)
    : handler(std::move(handler))
    , keyPem(keyPem)
    , certificatePem(certificatePem)
{
    start(true);
}

void MhdServer::start(bool tls)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | (tls ? MHD_USE_TLS : 0);
    // The TLS options go last, so a plain server ends its list before them.
    daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &MhdServer::onRequest, this, MHD_OPTION_SOCK_ADDR, &address,
        MHD_OPTION_DIGEST_AUTH_RANDOM, sizeof nonceKey - 1, nonceKey, MHD_OPTION_NONCE_NC_SIZE, 300,
        tls ? MHD_OPTION_HTTPS_MEM_KEY : MHD_OPTION_END, keyPem.c_str(), MHD_OPTION_HTTPS_MEM_CERT,
        certificatePem.c_str(), MHD_OPTION_END);
    if (daemon == nullptr) {
        throw std::runtime_error("MhdServer: cannot start on loopback");
    }
    listenPort = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
}

MhdServer::~MhdServer()
{
    MHD_stop_daemon(daemon);
}

std::vector<MhdRequest> MhdServer::requests() const
{
    std::lock_guard lock(mutex);
    return recorded;
}

MHD_Result MhdServer::onRequest(void* self, MHD_Connection* connection, const char* url, const char* method,
    const char*, const char*, size_t* uploadSize, void** context)
{
    auto* server = static_cast<MhdServer*>(self);
    if (*context == nullptr) {
        *context = server; // first call: headers only
        return MHD_YES;
    }
    if (*uploadSize != 0) {
        *uploadSize = 0; // bodies are not needed here
        return MHD_YES;
    }
    MhdRequest request;
    request.method = method;
    request.url = url;
    const char* authorization = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Authorization");
    request.authorization = authorization != nullptr ? authorization : "";
    {
        std::lock_guard lock(server->mutex);
        server->recorded.push_back(request);
    }
    return server->handler(connection, request);
}

MHD_Result MhdServer::reply(MHD_Connection* connection, unsigned status, const std::string& body)
{
    MHD_Response* response
        = MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
    MHD_Result result = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return result;
}

bool MhdServer::digestAuthorised(
    MHD_Connection* connection, const char* realm, const char* user, const char* password, MHD_Result& queued)
{
    int check = MHD_NO;
    char* name = MHD_digest_auth_get_username(connection);
    if (name != nullptr) {
        if (std::string(name) == user) {
            check = MHD_digest_auth_check2(connection, realm, user, password, 300, MHD_DIGEST_ALG_MD5);
        }
        MHD_free(name);
    }
    if (check == MHD_YES) {
        return true;
    }
    const char denied[] = "denied";
    MHD_Response* response
        = MHD_create_response_from_buffer(sizeof denied - 1, const_cast<char*>(denied), MHD_RESPMEM_MUST_COPY);
    queued = MHD_queue_auth_fail_response2(
        connection, realm, "0a4f113b", response, check == MHD_INVALID_NONCE ? MHD_YES : MHD_NO, MHD_DIGEST_ALG_MD5);
    MHD_destroy_response(response);
    return false;
}
