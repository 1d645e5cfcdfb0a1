// libmicrohttpd listener: request plumbing, faults, challenges, logging.
#include "HttpServer.h"

#include "SimState.h"

#include <microhttpd.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

std::atomic<bool> HttpServer::stopping { false };

namespace {

constexpr size_t maxRequestBody = 1 << 20; // a form post is tiny; more is refused
constexpr unsigned nonceSeconds = 300;

struct RequestContext
{
    std::string rawUri;
    bool started = false;
    std::string body;
    bool tooLarge = false;
};

void* onUri(void*, const char* uri, MHD_Connection*)
{
    auto* context = new RequestContext;
    context->rawUri = uri != nullptr ? uri : "";
    return context;
}

void onCompleted(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode)
{
    delete static_cast<RequestContext*>(*context);
    *context = nullptr;
}

MHD_Result onRequestTrampoline(void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
    const char* uploadData, size_t* uploadSize, void** context)
{
    int result = static_cast<HttpServer*>(cls)->onRequest(connection, url, method, uploadData, uploadSize, context);
    return result == MHD_YES ? MHD_YES : MHD_NO;
}

MHD_Result collectArg(void* cls, MHD_ValueKind, const char* key, const char* value)
{
    auto* request = static_cast<HttpRequest*>(cls);
    if (value == nullptr) {
        request->bareArgs.emplace_back(key != nullptr ? key : "");
    } else {
        request->args.emplace_back(key != nullptr ? key : "", value);
    }
    return MHD_YES;
}

ssize_t readStream(void* cls, uint64_t, char* buffer, size_t max)
{
    auto* source = static_cast<std::shared_ptr<StreamSource>*>(cls);
    long n = (*source)->read(buffer, max);
    if (n == -1) {
        return MHD_CONTENT_READER_END_OF_STREAM;
    }
    if (n < 0) {
        return MHD_CONTENT_READER_END_WITH_ERROR;
    }
    return static_cast<ssize_t>(n);
}

void freeStream(void* cls)
{
    delete static_cast<std::shared_ptr<StreamSource>*>(cls);
}

// Sends the first half of a body that was announced whole, then cuts the connection.
class CutBody : public StreamSource
{
public:
    explicit CutBody(std::string body)
        : body(std::move(body))
    {
    }
    long read(char* buffer, size_t max) override
    {
        size_t half = body.size() / 2;
        if (sent >= half) {
            return -2;
        }
        size_t n = std::min(max, half - sent);
        std::memcpy(buffer, body.data() + sent, n);
        sent += n;
        return static_cast<long>(n);
    }

private:
    std::string body;
    size_t sent = 0;
};

// Sends a body in pieces of a few bytes, 20 ms apart, so that a client reads it in several parts.
class SplitBody : public StreamSource
{
public:
    SplitBody(std::string body, size_t piece)
        : body(std::move(body))
        , piece(piece)
    {
    }
    long read(char* buffer, size_t max) override
    {
        if (sent >= body.size()) {
            return -1;
        }
        if (sent > 0 && !HttpServer::pause(20)) {
            return -2;
        }
        size_t n = std::min({ max, piece, body.size() - sent });
        std::memcpy(buffer, body.data() + sent, n);
        sent += n;
        return static_cast<long>(n);
    }

private:
    std::string body;
    size_t piece;
    size_t sent = 0;
};

// A peer that never goes silent for long and never ends: the body, announced far longer than it is, leaves one
// byte at a time with a pause before each, then padding for as long as the client keeps reading.
class TrickleBody : public StreamSource
{
public:
    static constexpr long long kAnnounced = 1LL << 30;

    TrickleBody(std::string body, long pauseMs)
        : body(std::move(body))
        , pauseMs(pauseMs)
    {
    }
    long read(char* buffer, size_t max) override
    {
        if (max == 0 || sent >= kAnnounced) {
            return -1;
        }
        if (!HttpServer::pause(pauseMs)) {
            return -2;
        }
        buffer[0] = sent < static_cast<long long>(body.size()) ? body[static_cast<size_t>(sent)] : 'x';
        ++sent;
        return 1;
    }

private:
    std::string body;
    long pauseMs;
    long long sent = 0;
};

std::string peerOf(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr || info->client_addr->sa_family != AF_INET) {
        return "?";
    }
    const auto* in = reinterpret_cast<const sockaddr_in*>(info->client_addr);
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in->sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(in->sin_port));
}

} // namespace

std::optional<std::string> HttpRequest::arg(const std::string& name) const
{
    for (const auto& [key, value] : args) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

bool HttpRequest::hasBareArg(const std::string& name) const
{
    for (const auto& word : bareArgs) {
        if (word == name) {
            return true;
        }
    }
    return arg(name).has_value();
}

std::string HttpRequest::header(const char* name) const
{
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return value != nullptr ? value : "";
}

HttpReply HttpReply::text(int status, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

HttpServer::HttpServer(SimState& state, Config config, Handler handler)
    : state(state)
    , cfg(std::move(config))
    , handler(std::move(handler))
{
    std::random_device random;
    digestRandom.resize(32);
    for (auto& b : digestRandom) {
        b = static_cast<unsigned char>(random());
    }
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::pause(long ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (stopping) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long>(50, ms)));
    }
    return !stopping;
}

bool HttpServer::start(std::string& error)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(cfg.port));
    std::memcpy(&address.sin_addr, cfg.ip.data(), 4);

    std::vector<MHD_OptionItem> options = {
        { MHD_OPTION_SOCK_ADDR, 0, &address },
        { MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&onUri), nullptr },
        { MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&onCompleted), nullptr },
        { MHD_OPTION_DIGEST_AUTH_RANDOM, static_cast<intptr_t>(digestRandom.size()), digestRandom.data() },
        // Room for many nonces at once: an evicted nonce would be refused without stale=true.
        { MHD_OPTION_NONCE_NC_SIZE, 4096, nullptr },
        { MHD_OPTION_CONNECTION_TIMEOUT, 120, nullptr },
    };
    if (cfg.tls) {
        options.push_back({ MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(cfg.keyPem.c_str()) });
        options.push_back({ MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(cfg.certPem.c_str()) });
    }
    options.push_back({ MHD_OPTION_END, 0, nullptr });

    // poll(), not select(): a scenario of hundreds of recorders holds descriptors past FD_SETSIZE.
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_POLL | MHD_USE_ERROR_LOG;
    if (cfg.tls) {
        flags |= MHD_USE_TLS;
    }
    daemon = MHD_start_daemon(flags, static_cast<uint16_t>(cfg.port), nullptr, nullptr, &onRequestTrampoline, this,
        MHD_OPTION_ARRAY, options.data(), MHD_OPTION_END);
    if (daemon == nullptr) {
        error = cfg.device + ": cannot listen on " + Scenario::ipText(cfg.ip) + ":" + std::to_string(cfg.port)
            + (cfg.tls ? " (HTTPS)" : "");
        return false;
    }
    return true;
}

void HttpServer::stop()
{
    if (daemon != nullptr) {
        MHD_stop_daemon(daemon);
        daemon = nullptr;
    }
}

int HttpServer::onRequest(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
    size_t* uploadSize, void** contextSlot)
{
    auto* context = static_cast<RequestContext*>(*contextSlot);
    if (context == nullptr) {
        return MHD_NO;
    }
    if (!context->started) {
        context->started = true;
        return MHD_YES;
    }
    if (*uploadSize > 0) {
        if (context->body.size() + *uploadSize > maxRequestBody) {
            context->tooLarge = true;
        } else {
            context->body.append(uploadData, *uploadSize);
        }
        *uploadSize = 0;
        return MHD_YES;
    }

    HttpRequest request;
    request.connection = connection;
    request.method = method != nullptr ? method : "";
    request.path = url != nullptr ? url : "";
    request.rawUri = context->rawUri;
    request.body = std::move(context->body);
    request.peer = peerOf(connection);
    request.secure = cfg.tls;
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &collectArg, &request);
    request.faults = cfg.faults;
    const FaultSet live = state.liveFaultsFor(cfg.device, request.rawUri, false);
    for (const auto& fault : live.all()) {
        request.faults.append(fault);
    }

    const std::string kind = cfg.tls ? "https" : "http";
    std::string detail = request.method + " " + request.rawUri;
    std::string scheme = authScheme(request);
    if (!scheme.empty()) {
        detail += " [" + scheme + "]";
    }
    if (!request.body.empty()) {
        // Form posts as they arrived (without the closing line ends), so tests can read the fields.
        std::string body = request.body.substr(0, 2000);
        while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) {
            body.pop_back();
        }
        detail += " body: " + body;
    }

    if (request.faults.has("http-silent", request.rawUri)) {
        state.liveFaultsFor(cfg.device, request.rawUri, true);
        state.record({ 0, cfg.device, kind, request.peer, detail, "silent" });
        while (pause(200)) { }
        return MHD_NO;
    }
    std::string faultNote;
    if (auto slow = request.faults.find("http-slow", request.rawUri)) {
        long ms = slow->hasValue ? slow->value : 3000;
        faultNote = "slow " + std::to_string(ms) + " ms";
        if (!pause(ms)) {
            return MHD_NO;
        }
    }

    HttpReply reply;
    if (context->tooLarge) {
        reply = HttpReply::text(413, "413 Request Entity Too Large\r\n");
    } else if (request.faults.has("http-401", request.rawUri)) {
        reply = HttpReply::text(401, "401 Unauthorized\r\n");
        reply.challenge = cfg.challenge;
        reply.realm = cfg.realm;
        faultNote += (faultNote.empty() ? "" : ", ") + std::string("401 forever");
    } else if (request.faults.has("http-409", request.rawUri)) {
        reply = HttpReply::text(409, "409 Conflict\r\n");
        faultNote += (faultNote.empty() ? "" : ", ") + std::string("409");
    } else if (request.faults.has("http-404", request.rawUri)) {
        reply = HttpReply::text(404, "<html><body><h1>404 Not Found</h1></body></html>\r\n");
        reply.contentType = "text/html";
        faultNote += (faultNote.empty() ? "" : ", ") + std::string("404");
    } else if (request.faults.has("http-500", request.rawUri)) {
        reply = HttpReply::text(500, "<html><body><h1>500 Internal Server Error</h1></body></html>\r\n");
        reply.contentType = "text/html";
        faultNote += (faultNote.empty() ? "" : ", ") + std::string("500");
    } else {
        reply = handler(request);
        reply = applyFaults(request, std::move(reply), faultNote);
    }

    if (reply.status != 401 || request.faults.has("http-401", request.rawUri)) {
        // This request had them (a challenge for credentials does not count: the client asks again).
        state.liveFaultsFor(cfg.device, request.rawUri, true);
    }
    std::string result = std::to_string(reply.status);
    if (reply.stale) {
        result += " stale";
    }
    if (!reply.note.empty()) {
        result += " " + reply.note;
    }
    if (!faultNote.empty()) {
        result += " (" + faultNote + ")";
    }
    state.record({ 0, cfg.device, kind, request.peer, detail, result });
    return queue(request, std::move(reply));
}

HttpReply HttpServer::applyFaults(const HttpRequest& request, HttpReply reply, std::string& faultNote)
{
    if (reply.status != 200 || reply.stream) {
        return reply;
    }
    auto add = [&](const std::string& note) { faultNote += (faultNote.empty() ? "" : ", ") + note; };
    if (request.faults.has("http-nokeys", request.rawUri)) {
        reply.body = cfg.noKeysBody;
        add("no keys");
    }
    if (auto oversize = request.faults.find("http-oversize", request.rawUri)) {
        size_t limit = oversize->hasValue ? static_cast<size_t>(oversize->value) : 70000;
        const std::string line = "padding=" + std::string(90, 'x') + "\r\n";
        while (reply.body.size() <= limit) {
            reply.body += line;
        }
        add("oversize " + std::to_string(reply.body.size()));
    }
    if (request.faults.has("http-truncated", request.rawUri)) {
        reply.streamSize = static_cast<long long>(reply.body.size());
        reply.stream = std::make_shared<CutBody>(std::move(reply.body));
        reply.body.clear();
        add("truncated");
    } else if (auto split = request.faults.find("http-split", request.rawUri)) {
        const size_t piece = split->hasValue && split->value > 0 ? static_cast<size_t>(split->value) : 16;
        reply.streamSize = static_cast<long long>(reply.body.size());
        reply.stream = std::make_shared<SplitBody>(std::move(reply.body), piece);
        reply.body.clear();
        add("split in pieces of " + std::to_string(piece));
    } else if (auto trickle = request.faults.find("http-trickle", request.rawUri)) {
        const long ms = trickle->hasValue && trickle->value > 0 ? trickle->value : 1000;
        reply.streamSize = TrickleBody::kAnnounced;
        reply.stream = std::make_shared<TrickleBody>(std::move(reply.body), ms);
        reply.body.clear();
        add("trickle, a byte every " + std::to_string(ms) + " ms");
    }
    if (request.faults.has("http-no-cookie", request.rawUri)) {
        auto& headers = reply.headers;
        headers.erase(std::remove_if(headers.begin(), headers.end(),
                          [](const auto& header) { return header.first == "Set-Cookie"; }),
            headers.end());
        add("no cookie");
    }
    return reply;
}

int HttpServer::queue(const HttpRequest& request, HttpReply reply)
{
    MHD_Response* response = nullptr;
    if (reply.stream) {
        uint64_t size = reply.streamSize < 0 ? MHD_SIZE_UNKNOWN : static_cast<uint64_t>(reply.streamSize);
        response = MHD_create_response_from_callback(
            size, 32 * 1024, &readStream, new std::shared_ptr<StreamSource>(reply.stream), &freeStream);
    } else {
        response = MHD_create_response_from_buffer(reply.body.size(), reply.body.data(), MHD_RESPMEM_MUST_COPY);
    }
    if (response == nullptr) {
        return MHD_NO;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    for (const auto& [name, value] : reply.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    MHD_Result queued = MHD_NO;
    switch (reply.challenge) {
    case HttpReply::Challenge::None:
        queued = MHD_queue_response(request.connection, static_cast<unsigned>(reply.status), response);
        break;
    case HttpReply::Challenge::Basic:
        queued = MHD_queue_basic_auth_fail_response(request.connection, reply.realm.c_str(), response);
        break;
    case HttpReply::Challenge::BasicAndDigest:
        MHD_add_response_header(
            response, MHD_HTTP_HEADER_WWW_AUTHENTICATE, ("Basic realm=\"" + reply.realm + "\"").c_str());
        [[fallthrough]];
    case HttpReply::Challenge::Digest:
        queued = MHD_queue_auth_fail_response2(request.connection, reply.realm.c_str(),
            "5ccc069c403ebaf9f0171e9517f40e41", response, reply.stale ? MHD_YES : MHD_NO, MHD_DIGEST_ALG_MD5);
        break;
    }
    MHD_destroy_response(response);
    return queued;
}

std::string HttpServer::authScheme(const HttpRequest& request)
{
    std::string value = request.header(MHD_HTTP_HEADER_AUTHORIZATION);
    size_t space = value.find(' ');
    return value.substr(0, space);
}

AuthCheck HttpServer::checkDigest(
    const HttpRequest& request, const std::string& realm, const std::string& user, const std::string& password)
{
    if (authScheme(request) != "Digest") {
        return AuthCheck::Missing;
    }
    char* given = MHD_digest_auth_get_username(request.connection);
    if (given == nullptr) {
        return AuthCheck::Wrong;
    }
    bool sameUser = user == given;
    MHD_free(given);
    if (!sameUser) {
        return AuthCheck::Wrong;
    }
    int result = MHD_digest_auth_check2(
        request.connection, realm.c_str(), user.c_str(), password.c_str(), nonceSeconds, MHD_DIGEST_ALG_MD5);
    if (result == MHD_YES) {
        return AuthCheck::Ok;
    }
    return result == MHD_INVALID_NONCE ? AuthCheck::Stale : AuthCheck::Wrong;
}

AuthCheck HttpServer::checkBasic(const HttpRequest& request, const std::string& user, const std::string& password)
{
    if (authScheme(request) != "Basic") {
        return AuthCheck::Missing;
    }
    char* givenPassword = nullptr;
    char* givenUser = MHD_basic_auth_get_username_password(request.connection, &givenPassword);
    bool ok = givenUser != nullptr && user == givenUser && password == (givenPassword != nullptr ? givenPassword : "");
    MHD_free(givenUser);
    MHD_free(givenPassword);
    return ok ? AuthCheck::Ok : AuthCheck::Wrong;
}
