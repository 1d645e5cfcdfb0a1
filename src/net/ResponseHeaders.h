#pragma once
// What HttpGet keeps of a response's header lines as libcurl hands them over one by one: the status,
// the authentication challenges and the first cookie. A status line starts a new response, so
// interim (1xx) and retried (401) responses are replaced by the one that follows them.

#include <cstddef>
#include <string>
#include <string_view>

class ResponseHeaders
{
public:
    // Longest WWW-Authenticate (all lines together) and Set-Cookie value kept; longer ones read as absent.
    static constexpr size_t kMaxValue = 4096;

    // Forgets everything, as before the first line of a request's first response.
    void Reset();

    // Takes one raw header line, with or without its CR LF. A blank line ends the current header block.
    void AddLine(std::string_view line);

    // True once the blank line after a status line arrived (the header block of a response is whole).
    bool Complete() const { return complete; }

    // The status code of the current response; 0 before a status line or when it was malformed.
    int StatusCode() const { return statusCode; }

    // Every WWW-Authenticate value of the current response, in order, joined by ", ".
    const std::string& WwwAuthenticate() const { return wwwAuthenticate; }

    // True and the value when the current response's first Set-Cookie line fits kMaxValue.
    bool SetCookie(std::string& value) const;

private:
    enum class Field { Other, WwwAuthenticate, SetCookie };

    void startResponse(std::string_view statusLine);
    void addField(Field field, std::string_view value, bool continuation);

    int statusCode = 0;
    bool inResponse = false;
    bool complete = false;
    bool wwwAuthenticateOverflow = false;
    std::string wwwAuthenticate;
    bool cookieSeen = false;
    bool cookieValid = false;
    std::string cookie;
    Field lastField = Field::Other;
};
