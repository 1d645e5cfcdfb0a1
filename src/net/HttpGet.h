#pragma once
// The program's HTTP and HTTPS client: one connection description (host, port, credentials, time-out)
// with at most one request in flight, Basic and Digest authentication, and bodies read piece by piece.

#include "net/Digest.h"
#include "net/ResponseHeaders.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// Opaque libcurl types: nothing outside this module includes curl.
typedef void CURL;
typedef void CURLM;
struct curl_slist;

// Usage: Open, then SendGet / FetchAll / Post (each replaces the previous request), then ReadChunk,
// QueryStatusCode, QuerySetCookie on the current request, and Close or destruction. One thread uses
// the object at a time; any thread may call Close to end a request in progress. Failures are `false`,
// never exceptions, and leave the object usable.
class HttpGet
{
public:
    enum AuthMode { AuthBasic = 0, AuthDigest = 1, AuthNone = 2 };

    // How an HTTPS peer's certificate is checked. The recorder's own interface uses a self-signed
    // certificate (Relaxed: no peer or host check); the cloud portal is Verified against the system
    // trust store.
    enum class CertificateCheck { Verified, Relaxed };

    // Whether requests may go through a proxy. Recorder and camera credentials never leave the LAN
    // (Never); the cloud portal follows the system's proxy settings (System).
    enum class ProxyUse { Never, System };

    // Time-out used for a time-out argument of 0.
    static constexpr uint32_t kDefaultTimeoutMs = 60000;
    // The answer limit Open sets: a request must have its whole answer within this many time-outs (one to
    // connect, one of silence before the peer answers, one for the answer to flow), and never within less than
    // the floor, so a short time-out does not cut an answer that comes in slow pieces.
    static constexpr uint32_t kAnswerLimitTimeouts = 3;
    static constexpr uint32_t kAnswerLimitFloorMs = 10000;
    // Bytes of body kept while the caller is not reading; the transfer pauses beyond it.
    static constexpr size_t kBodyBufferLimit = 64 * 1024;

    HttpGet();
    virtual ~HttpGet(); // waits 50 ms, then ends any request and releases everything
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // Prepares a connection to host:port; sends nothing. Forgets a Digest challenge (mode back to
    // AuthBasic) and ends what an earlier Open left. secure >= 1 means HTTPS. Port: 443 when secure, else
    // 80; a non-zero `port` replaces that. `timeoutMs` is both the connect limit and the receive limit
    // (the longest silence allowed while waiting for data, never a limit on a whole transfer); 0 means
    // kDefaultTimeoutMs. Every request must also be answered whole (headers and body) within the answer
    // limit, AnswerLimitFor(timeoutMs), however steadily the bytes come. False (and nothing open) for an
    // empty or malformed host or a port outside 1..65535. A Close during Open holds: the requests after it
    // fail until the next Open.
    bool Open(std::string_view host, std::string_view user, std::string_view password, uint32_t timeoutMs, int secure,
        int port, CertificateCheck check = CertificateCheck::Verified, ProxyUse proxy = ProxyUse::Never);

    // Sends a GET for `path` (path and query, starting with "/") and returns once the response's
    // headers have arrived, the body unread. Authorization: AuthBasic with an empty password and a
    // user sends "Basic base64(user:)"; AuthBasic with a password sends no credentials first and answers
    // a 401 once, within this call, with Digest (MD5) when the server offers it, else Basic (the mode
    // stays AuthBasic, so the next request starts without credentials again); AuthDigest sends the answer
    // to the stored challenge and advances its nonce count; AuthNone sends nothing. A 401 carrying a
    // Digest challenge we can answer (MD5) switches the object to AuthDigest, so a second SendGet on the
    // same object is authorised; any other 401 sets AuthBasic. True when a response arrived and its
    // status is neither 401 nor 409 (404, 500 ... are true: callers judge the body). Space, control,
    // non-ASCII bytes and "#" in `path` are sent percent-encoded.
    bool SendGet(std::string_view path);

    // Hands out the next piece of the current response body: waits until some bytes have arrived (at
    // most `capacity`) or the body ended (`bytesRead` = 0, true). False when there is no request, the
    // transfer failed or was cut short, the receive limit passed in silence, or Close was called.
    bool ReadChunk(char* buffer, size_t capacity, size_t& bytesRead);

    // SendGet, then the body in chunks of at most 8200 bytes. `size` is the buffer's capacity on entry
    // and the bytes stored on return. The chunk that would fill the buffer (total >= capacity) is dropped
    // and the transfer ended: at least one byte always stays unused, so a zeroed buffer stays a
    // terminated text. False when SendGet or a read fails.
    bool FetchAll(std::string_view path, char* buffer, size_t& size);

    // Sends a POST of `body` (UTF-8, sent as it is, its byte length as Content-Length) with the extra
    // header lines (separated by CR LF) and returns once the response's headers have arrived. Adds no
    // Authorization header of its own and handles no cookies: the caller sends its own Cookie line and
    // reads QuerySetCookie. The status is not judged. False when a header line is malformed (no colon,
    // or a bare CR or LF inside), or when sending or waiting failed.
    bool Post(std::string_view path, std::string_view extraHeaders, std::string_view body);

    // What every caller that may meet a peer with an empty password uses. Without `buffer`, SendGet; with
    // it, FetchAll into `buffer` (`*size`: its capacity on entry, the bytes stored on return). When that
    // request failed with a 401 whose Digest challenge it had not answered yet (it switched the object to
    // AuthDigest, or the server renewed an outdated nonce with stale=true), sends it once more on this
    // object, so the challenge is answered. At most two requests: a wrong password is refused twice.
    bool GetAuthorised(std::string_view path, char* buffer = nullptr, size_t* size = nullptr);

    // The status of the current response; false when there is no request.
    bool QueryStatusCode(int& code);

    // The value of the current response's first Set-Cookie line (up to 4096 characters); false when
    // there is no request, no such line, or a longer one.
    bool QuerySetCookie(std::string& text);

    // Holds until the next Open or a 401 (used with AuthNone before portal posts).
    void SetAuthMode(AuthMode mode);

    // The longest a request may take from its send to the end of its answer, for the requests until the next
    // Open (which sets AnswerLimitFor of its time-out). A request past it fails like one past the receive
    // limit.
    void SetAnswerLimit(uint32_t ms);
    // Until the next Open, the answer limit holds for a response's headers only: its body may go on for as long
    // as it keeps coming (the camera's picture stream). Every other body is an answer and ends within the limit.
    void AllowEndlessBody();
    static uint32_t AnswerLimitFor(uint32_t timeoutMs);
    AuthMode GetAuthMode() const { return authMode; }

    // Ends the request in progress and the connection. Safe from any thread and at any moment (also
    // during Open): a SendGet, ReadChunk, FetchAll or Post blocked on another thread returns false
    // promptly, and every later request fails at once until the next Open. Waits 50 ms before
    // releasing; always true.
    bool Close();

    // What a response's head means for the request that got it: true when it is a response whose status is
    // neither 401 nor 409. A 401 sets `mode` to AuthDigest when it carries a Digest challenge that can be
    // answered (loaded into `digest`), else to AuthBasic.
    static bool JudgeResponse(const ResponseHeaders& headers, DigestState& digest, AuthMode& mode);

    // The connection description as Open settled it (for diagnostics and tests).
    int Port() const { return port; }
    bool Secure() const { return secure; }
    const DigestState& Digest() const { return digest; }

private:
    enum class DriveResult { Ready, Ended, Failed };

    bool startRequest(bool post, std::string_view path, std::string_view extraHeaders, std::string_view body,
        const std::string& challengeAnswer = std::string());
    bool waitForHeaders();
    bool sendRequest(bool post, std::string_view path, std::string_view extraHeaders, std::string_view body);
    std::string challengeAnswer(bool post, std::string_view path);
    void discardBody();
    bool transferEnded() const { return transferDone; }
    DriveResult drive(bool (HttpGet::*ready)() const);
    bool headersArrived() const { return headersFinal; }
    bool bodyAvailable() const { return bodyRead < bodyBuffer.size(); }
    bool readChunkLocked(char* buffer, size_t capacity, size_t& bytesRead);
    void collectFinishedTransfers();
    void endTransfer();
    void releaseRequest();
    void releaseAll();
    bool closedByOtherThread();

    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onBody(char* data, size_t size, size_t count, void* self);

    std::string host;
    std::string user;
    std::string password;
    int port = 0;
    uint32_t timeoutMs = 0;
    uint32_t answerLimitMs = 0;
    bool endlessBody = false;
    bool secure = false;
    CertificateCheck certificateCheck = CertificateCheck::Verified;
    ProxyUse proxyUse = ProxyUse::Never;
    AuthMode authMode = AuthBasic;
    DigestState digest;

    std::atomic<CURLM*> multi { nullptr }; // made by the first Open; then lives as long as the object, so Close
                                           // may always wake it
    CURL* easy = nullptr;
    curl_slist* requestHeaders = nullptr;
    bool connected = false; // Open succeeded and no Close since
    bool requestOpen = false; // a response whose headers arrived can be queried and read
    bool attached = false; // the easy handle is in the multi handle
    bool passwordAnswers = false; // a 401 to the current request is answered with the password, once
    bool answeredWithPassword = false; // the current request is that answer
    bool discardingBody = false; // the current response's body is dropped as it arrives
    bool challengeUnanswered = false; // the last SendGet got a Digest 401 that a repeat can answer
    bool headersFinal = false;
    bool transferDone = false;
    bool transferFailed = false;
    bool paused = false;
    std::string postBody;
    ResponseHeaders headers;
    std::vector<char> bodyBuffer;
    size_t bodyRead = 0;
    std::chrono::steady_clock::time_point lastActivity;
    std::chrono::steady_clock::time_point answerDeadline; // the current request's answer limit runs out

    std::mutex operationMutex; // held by the using thread for every operation
    std::atomic<bool> closeRequested { false };
};
