#include "net/HttpGet.h"

#include "net/AsciiText.h"
#include "net/Base64.h"
#include "net/PercentEncode.h"

#include "net/CurlLibrary.h"
#include "platform/WaitTimeline.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kCloseDelay = std::chrono::milliseconds(50);

// The pause every open, send and close of a request begins with.
void closeDelay()
{
    WaitTimeline::Note("request close delay", static_cast<uint32_t>(kCloseDelay.count()));
    std::this_thread::sleep_for(kCloseDelay);
}

constexpr size_t kFetchChunk = 8200;

// The library; only called once a request object has its multi handle (so the library is loaded).
const CurlLibrary& curl()
{
    return *CurlLibrary::Get();
}

bool validHost(std::string_view host)
{
    if (host.empty() || host.size() > 253) {
        return false;
    }
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'
            || c == '_';
    });
}

// The request target as sent: bytes that a URL cannot carry raw (and "#", which would end it) are
// percent-encoded; everything else, "%" included, stays, so callers' own encoding is kept. An empty query
// ("/userlist.cgi?") goes out without its "?" (the library drops it), so the Digest uri leaves it out too:
// a server compares that uri with the target it received.
std::string requestTarget(std::string_view path)
{
    std::string target
        = PercentEncodeBytes(path, [](unsigned char byte) { return byte <= 0x20 || byte >= 0x7F || byte == '#'; });
    if (!target.empty() && target.back() == '?' && target.find('?') == target.size() - 1) {
        target.pop_back();
    }
    return target;
}

// The request's URL, put together by the library from its parts: the origin from scheme, host and port, then the
// target (path and query, already encoded) as a reference on it, kept as it is (no dot segments removed, no case
// changed in escapes), so that the Digest uri is what is sent. Empty when the library refuses a part.
std::string requestUrl(bool secure, const std::string& host, int port, const std::string& target)
{
    CURLU* url = curl().url();
    if (url == nullptr) {
        return std::string();
    }
    const bool parts = curl().url_set(url, CURLUPART_SCHEME, secure ? "https" : "http", 0) == CURLUE_OK
        && curl().url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK
        && curl().url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0) == CURLUE_OK
        && curl().url_set(url, CURLUPART_URL, target.c_str(), CURLU_PATH_AS_IS) == CURLUE_OK;
    std::string text;
    char* joined = nullptr;
    if (parts && curl().url_get(url, CURLUPART_URL, &joined, 0) == CURLUE_OK && joined != nullptr) {
        text = joined;
    }
    curl().free(joined);
    curl().url_cleanup(url);
    return text;
}

// Splits "Name: value\r\nName2: value2" into lines; false when a line is not a header line.
bool splitHeaderLines(std::string_view text, std::vector<std::string>& lines)
{
    while (!text.empty()) {
        size_t end = text.find("\r\n");
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
        if (line.empty()) {
            continue;
        }
        if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos
            || line.find(':') == std::string_view::npos || line.front() == ':' || line.front() == ' ') {
            return false;
        }
        lines.emplace_back(line);
    }
    return true;
}

// Whether a WWW-Authenticate value (challenges of any schemes, joined by ", ") offers the Basic scheme: a
// "Basic" token outside quoted strings, at the start or after a comma, followed by a space, a comma or the end.
bool offersBasic(std::string_view value)
{
    bool quoted = false;
    bool tokenStart = true;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            tokenStart = false;
            continue;
        }
        if (c == ',' || c == ' ' || c == '\t') {
            tokenStart = tokenStart || c == ',';
            continue;
        }
        if (tokenStart && value.size() - i >= 5 && EqualsNoCase(value.substr(i, 5), "basic")
            && (i + 5 == value.size() || value[i + 5] == ' ' || value[i + 5] == ',')) {
            return true;
        }
        tokenStart = false;
    }
    return false;
}

} // namespace

HttpGet::HttpGet() = default;

HttpGet::~HttpGet()
{
    closeDelay();
    std::lock_guard lock(operationMutex);
    releaseAll();
    if (easy != nullptr) {
        curl().easy_cleanup(easy);
    }
    if (CURLM* handle = multi.load(); handle != nullptr) {
        curl().multi_cleanup(handle);
    }
}

bool HttpGet::Open(std::string_view newHost, std::string_view newUser, std::string_view newPassword,
    uint32_t newTimeoutMs, int secureArg, int portArg, CertificateCheck check, ProxyUse proxy)
{
    std::lock_guard lock(operationMutex);
    // From here on a Close counts for this connection: it must not be forgotten during the wait below.
    closeRequested = false;
    authMode = AuthBasic;
    challengeUnanswered = false;
    host = std::string(newHost);
    user = std::string(newUser);
    password = std::string(newPassword);
    secure = secureArg >= 1;
    port = secure ? 443 : 80;
    if (portArg != 0) {
        port = portArg;
    }
    timeoutMs = newTimeoutMs;
    answerLimitMs = AnswerLimitFor(newTimeoutMs);
    endlessBody = false;
    certificateCheck = check;
    proxyUse = proxy;

    closeDelay();
    releaseAll();

    if (!validHost(host) || port < 1 || port > 65535) {
        return false;
    }
    // The first request of this object loads the library and makes the handle Close wakes.
    if (multi.load() == nullptr) {
        const CurlLibrary* library = CurlLibrary::Get();
        if (library == nullptr) {
            return false;
        }
        multi.store(library->multi_init());
        if (multi.load() == nullptr) {
            return false;
        }
    }
    if (easy == nullptr) {
        easy = curl().easy_init();
        if (easy == nullptr) {
            return false;
        }
    }
    connected = true;
    return true;
}

void HttpGet::SetAuthMode(AuthMode mode)
{
    std::lock_guard lock(operationMutex);
    authMode = mode;
}

uint32_t HttpGet::AnswerLimitFor(uint32_t timeoutMs)
{
    const uint64_t timeout = timeoutMs != 0 ? timeoutMs : kDefaultTimeoutMs;
    return uint32_t(std::max<uint64_t>(timeout * kAnswerLimitTimeouts, kAnswerLimitFloorMs));
}

void HttpGet::SetAnswerLimit(uint32_t ms)
{
    std::lock_guard lock(operationMutex);
    answerLimitMs = ms;
}

void HttpGet::AllowEndlessBody()
{
    std::lock_guard lock(operationMutex);
    endlessBody = true;
}

bool HttpGet::Close()
{
    closeRequested = true;
    if (CURLM* handle = multi.load(); handle != nullptr) {
        curl().multi_wakeup(handle); // a thread waiting in curl_multi_poll sees the flag at once
    }
    closeDelay();
    std::unique_lock lock(operationMutex, std::try_to_lock);
    if (lock.owns_lock()) {
        releaseAll();
    }
    // Otherwise the thread inside an operation releases everything itself when it sees the flag.
    return true;
}

bool HttpGet::closedByOtherThread()
{
    if (closeRequested) {
        releaseAll();
        return true;
    }
    return false;
}

void HttpGet::endTransfer()
{
    if (attached) {
        curl().multi_remove_handle(multi, easy); // an unfinished transfer's connection is closed
        attached = false;
    }
    if (!transferDone) {
        transferDone = true;
        transferFailed = true;
    }
    paused = false;
}

void HttpGet::releaseRequest()
{
    endTransfer();
    if (requestHeaders != nullptr) {
        curl().slist_free_all(requestHeaders);
        requestHeaders = nullptr;
    }
    requestOpen = false;
    headersFinal = false;
    transferDone = false;
    transferFailed = false;
    passwordAnswers = false;
    answeredWithPassword = false;
    discardingBody = false;
    headers.Reset();
    bodyBuffer.clear();
    bodyRead = 0;
    postBody.clear();
}

void HttpGet::releaseAll()
{
    releaseRequest();
    connected = false;
}

size_t HttpGet::onHeader(char* data, size_t size, size_t count, void* self)
{
    auto* object = static_cast<HttpGet*>(self);
    const size_t length = size * count;
    const std::string_view line(data, length);
    object->lastActivity = Clock::now();
    if (line.rfind("HTTP/", 0) == 0) {
        // A new response (after an interim or a retried one): its body starts afresh.
        object->bodyBuffer.clear();
        object->bodyRead = 0;
    }
    object->headers.AddLine(line);
    if (object->headers.Complete() && !object->headersFinal) {
        const int status = object->headers.StatusCode();
        // 1xx is followed by the real response.
        object->headersFinal = status >= 200;
    }
    return length;
}

size_t HttpGet::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* object = static_cast<HttpGet*>(self);
    const size_t length = size * count;
    object->lastActivity = Clock::now();
    if (object->discardingBody) {
        return length;
    }
    const size_t unread = object->bodyBuffer.size() - object->bodyRead;
    if (unread > 0 && unread + length > kBodyBufferLimit) {
        object->paused = true; // the caller is not reading: hold the transfer until it does
        return CURL_WRITEFUNC_PAUSE;
    }
    if (object->bodyRead > 0) {
        object->bodyBuffer.erase(
            object->bodyBuffer.begin(), object->bodyBuffer.begin() + std::ptrdiff_t(object->bodyRead));
        object->bodyRead = 0;
    }
    object->bodyBuffer.insert(object->bodyBuffer.end(), data, data + length);
    return length;
}

void HttpGet::collectFinishedTransfers()
{
    int left = 0;
    while (CURLMsg* message = curl().multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            transferDone = true;
            transferFailed = message->data.result != CURLE_OK;
        }
    }
}

// Runs the transfer on this thread until `ready`, the end of the transfer, a Close, the receive limit
// (the longest silence allowed, counted from the last bytes received or from the call), or the request's
// answer limit (a peer that sends a byte now and then is never silent for long; only an endless body that
// was allowed to be one, once its headers are in, goes on without it).
HttpGet::DriveResult HttpGet::drive(bool (HttpGet::*ready)() const)
{
    const auto limit = std::chrono::milliseconds(timeoutMs != 0 ? timeoutMs : kDefaultTimeoutMs);
    const bool answerBounded = !(endlessBody && requestOpen);
    lastActivity = Clock::now();
    while (true) {
        if (closeRequested) {
            return DriveResult::Failed;
        }
        int running = 0;
        if (curl().multi_perform(multi, &running) != CURLM_OK) {
            endTransfer();
            return DriveResult::Failed;
        }
        collectFinishedTransfers();
        if ((this->*ready)()) {
            return DriveResult::Ready;
        }
        if (transferDone) {
            return DriveResult::Ended;
        }
        const auto now = Clock::now();
        const auto silent = now - lastActivity;
        if (silent >= limit || (answerBounded && now >= answerDeadline)) {
            endTransfer();
            return DriveResult::Failed;
        }
        auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(limit - silent).count() + 1;
        if (answerBounded) {
            remaining = std::min<long long>(
                remaining, std::chrono::duration_cast<std::chrono::milliseconds>(answerDeadline - now).count() + 1);
        }
        curl().multi_poll(multi, nullptr, 0, int(std::min<long long>(remaining, 1000)), nullptr);
    }
}

bool HttpGet::startRequest(bool post, std::string_view path, std::string_view extraHeaders, std::string_view body,
    const std::string& challengeAnswer)
{
    if (closedByOtherThread() || !connected) {
        return false;
    }
    closeDelay();
    releaseRequest();
    if (path.empty() || path.front() != '/') {
        return false;
    }
    const std::string target = requestTarget(path);

    std::vector<std::string> lines;
    if (post) {
        if (!splitHeaderLines(extraHeaders, lines)) {
            return false;
        }
        lines.emplace_back("Expect:"); // no 100-continue round trip
    }
    if (!challengeAnswer.empty()) {
        lines.push_back(challengeAnswer);
    } else if (post) {
        // A post carries only the caller's own header lines.
    } else if (authMode == AuthBasic && password.empty() && !user.empty()) {
        lines.push_back("Authorization: Basic " + Base64Encode(user + ":"));
    } else if (authMode == AuthDigest) {
        std::string header = BuildDigestHeader(digest, user, password, "GET", target);
        if (header.empty()) {
            return false;
        }
        lines.push_back(std::move(header));
    }
    // The credentials never go to the library: its own authentication stays off, and a challenge is answered
    // by sendRequest with a header of ours.
    passwordAnswers = challengeAnswer.empty() && authMode == AuthBasic && !password.empty();
    answeredWithPassword = !challengeAnswer.empty();

    const std::string url = requestUrl(secure, host, port, target);
    if (url.empty()) {
        return false;
    }
    curl().easy_reset(easy);
    const long connectLimit = long(timeoutMs != 0 ? timeoutMs : kDefaultTimeoutMs);
    curl().easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl().easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl().easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl().easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L); // the Digest uri must be the path exactly as sent
    curl().easy_setopt(easy, CURLOPT_USERAGENT, "InetURL/1.0");
    curl().easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl().easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectLimit);
    curl().easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpGet::onHeader);
    curl().easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl().easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpGet::onBody);
    curl().easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (proxyUse == ProxyUse::Never) {
        curl().easy_setopt(easy, CURLOPT_NOPROXY, "*"); // whatever http_proxy and the like say
    }
    if (certificateCheck == CertificateCheck::Relaxed) {
        curl().easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
        curl().easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (post) {
        postBody = std::string(body);
        curl().easy_setopt(easy, CURLOPT_POST, 1L);
        curl().easy_setopt(easy, CURLOPT_POSTFIELDS, postBody.data());
        curl().easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postBody.size()));
    }
    for (const std::string& line : lines) {
        curl_slist* extended = curl().slist_append(requestHeaders, line.c_str());
        if (extended == nullptr) {
            releaseRequest();
            return false;
        }
        requestHeaders = extended;
    }
    curl().easy_setopt(easy, CURLOPT_HTTPHEADER, requestHeaders);

    if (curl().multi_add_handle(multi, easy) != CURLM_OK) {
        releaseRequest();
        return false;
    }
    attached = true;
    answerDeadline = Clock::now() + std::chrono::milliseconds(answerLimitMs);
    return true;
}

bool HttpGet::waitForHeaders()
{
    const DriveResult result = drive(&HttpGet::headersArrived);
    if (closedByOtherThread()) {
        return false;
    }
    // A transfer that ended right after complete headers (a peer that closes after its 401) still has them.
    if (result == DriveResult::Failed || (!headersFinal && !(headers.Complete() && !transferFailed))) {
        releaseRequest();
        return false;
    }
    headersFinal = true;
    requestOpen = true;
    return true;
}

// The answer to the 401 that is the current response, with the connection's password: Digest when the server
// offers an MD5 challenge, else Basic when it offers Basic. Empty when it offers neither (or the header cannot be
// built soundly): the 401 then stands.
std::string HttpGet::challengeAnswer(bool post, std::string_view path)
{
    DigestState challenge;
    if (SelectDigestChallenge(challenge, headers.WwwAuthenticate())) {
        return BuildDigestHeader(challenge, user, password, post ? "POST" : "GET", requestTarget(path));
    }
    if (offersBasic(headers.WwwAuthenticate())) {
        return "Authorization: Basic " + Base64Encode(user + ":" + password);
    }
    return std::string();
}

// Reads the rest of the current response and drops it, so that its connection can carry the next request.
void HttpGet::discardBody()
{
    discardingBody = true;
    bodyBuffer.clear();
    bodyRead = 0;
    if (paused) {
        paused = false;
        curl().easy_pause(easy, CURLPAUSE_CONT);
    }
    drive(&HttpGet::transferEnded);
}

// Starts the request and waits for its response's headers. With a password and no answer sent yet (AuthBasic),
// a 401 is answered here once, on a second request: the caller sees the response to that answer.
bool HttpGet::sendRequest(bool post, std::string_view path, std::string_view extraHeaders, std::string_view body)
{
    if (!startRequest(post, path, extraHeaders, body) || !waitForHeaders()) {
        return false;
    }
    if (!passwordAnswers || headers.StatusCode() != 401) {
        return true;
    }
    const std::string answer = challengeAnswer(post, path);
    if (answer.empty()) {
        return true;
    }
    discardBody();
    if (closedByOtherThread()) {
        return false;
    }
    return startRequest(post, path, extraHeaders, body, answer) && waitForHeaders();
}

bool HttpGet::SendGet(std::string_view path)
{
    std::lock_guard lock(operationMutex);
    challengeUnanswered = false;
    // How this request meets a challenge: answered with the password within this call, or our own Digest
    // header answers the stored one.
    const bool answeredByDigest = authMode == AuthDigest;
    if (!sendRequest(false, path, {}, {})) {
        return false;
    }
    const bool answeredWithThePassword = answeredWithPassword;
    const bool accepted = JudgeResponse(headers, digest, authMode);
    challengeUnanswered = !accepted && headers.StatusCode() == 401 && authMode == AuthDigest && !answeredWithThePassword
        && (!answeredByDigest || digest.stale);
    return accepted;
}

bool HttpGet::GetAuthorised(std::string_view path, char* buffer, size_t* size)
{
    const size_t capacity = size != nullptr ? *size : 0;
    auto request = [&] {
        if (buffer == nullptr || size == nullptr) {
            return SendGet(path);
        }
        *size = capacity;
        return FetchAll(path, buffer, *size);
    };
    if (request()) {
        return true;
    }
    bool repeat = false;
    {
        std::lock_guard lock(operationMutex);
        repeat = challengeUnanswered;
    }
    // A refused first try wrote nothing into the buffer: FetchAll stores only after a successful send.
    return repeat && request();
}

bool HttpGet::JudgeResponse(const ResponseHeaders& response, DigestState& challenge, AuthMode& mode)
{
    const int status = response.StatusCode();
    if (status == 401) {
        mode = SelectDigestChallenge(challenge, response.WwwAuthenticate()) ? AuthDigest : AuthBasic;
    }
    return status != 0 && status != 401 && status != 409;
}

bool HttpGet::Post(std::string_view path, std::string_view extraHeaders, std::string_view body)
{
    std::lock_guard lock(operationMutex);
    return sendRequest(true, path, extraHeaders, body);
}

bool HttpGet::readChunkLocked(char* buffer, size_t capacity, size_t& bytesRead)
{
    bytesRead = 0;
    if (closedByOtherThread() || !requestOpen) {
        return false;
    }
    if (!bodyAvailable() && !transferDone) {
        if (paused) {
            paused = false;
            curl().easy_pause(easy, CURLPAUSE_CONT); // may hand over the held data at once
        }
        if (!bodyAvailable() && drive(&HttpGet::bodyAvailable) == DriveResult::Failed) {
            if (closedByOtherThread()) {
                return false;
            }
            endTransfer();
        }
    }
    if (!bodyAvailable()) {
        return !transferFailed; // 0 bytes: the body ended (or was cut short, which is a failure)
    }
    bytesRead = std::min(capacity, bodyBuffer.size() - bodyRead);
    std::memcpy(buffer, bodyBuffer.data() + bodyRead, bytesRead);
    bodyRead += bytesRead;
    return true;
}

bool HttpGet::ReadChunk(char* buffer, size_t capacity, size_t& bytesRead)
{
    std::lock_guard lock(operationMutex);
    return readChunkLocked(buffer, capacity, bytesRead);
}

bool HttpGet::FetchAll(std::string_view path, char* buffer, size_t& size)
{
    const size_t capacity = size;
    size = 0;
    if (!SendGet(path)) {
        return false;
    }
    std::lock_guard lock(operationMutex);
    char chunk[kFetchChunk];
    size_t total = 0;
    while (true) {
        size_t read = 0;
        if (!readChunkLocked(chunk, sizeof chunk, read)) {
            return false;
        }
        if (total + read >= capacity) {
            size = total;
            endTransfer(); // the rest of the body is not wanted
            return true;
        }
        std::memcpy(buffer + total, chunk, read);
        total += read;
        if (read == 0) {
            size = total;
            return true;
        }
    }
}

bool HttpGet::QueryStatusCode(int& code)
{
    std::lock_guard lock(operationMutex);
    if (!requestOpen) {
        return false;
    }
    code = headers.StatusCode();
    return true;
}

bool HttpGet::QuerySetCookie(std::string& text)
{
    std::lock_guard lock(operationMutex);
    return requestOpen && headers.SetCookie(text);
}
