#include "net/ResponseHeaders.h"

#include "net/AsciiText.h"

#include <cctype>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

void ResponseHeaders::Reset()
{
    statusCode = 0;
    inResponse = false;
    complete = false;
    wwwAuthenticateOverflow = false;
    wwwAuthenticate.clear();
    cookieSeen = false;
    cookieValid = false;
    cookie.clear();
    lastField = Field::Other;
}

bool ResponseHeaders::SetCookie(std::string& value) const
{
    if (!cookieValid) {
        return false;
    }
    value = cookie;
    return true;
}

// status-line = "HTTP/" 1*(DIGIT / ".") SP 3DIGIT [ SP reason-phrase ]
void ResponseHeaders::startResponse(std::string_view statusLine)
{
    Reset();
    inResponse = true;
    size_t pos = 5;
    while (pos < statusLine.size()
        && (std::isdigit(static_cast<unsigned char>(statusLine[pos])) || statusLine[pos] == '.')) {
        ++pos;
    }
    if (pos == 5 || pos + 4 > statusLine.size() || statusLine[pos] != ' ') {
        return;
    }
    int code = 0;
    for (size_t i = pos + 1; i < pos + 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(statusLine[i]))) {
            return;
        }
        code = code * 10 + (statusLine[i] - '0');
    }
    if (pos + 4 < statusLine.size() && statusLine[pos + 4] != ' ') {
        return;
    }
    if (code >= 100) {
        statusCode = code;
    }
}

void ResponseHeaders::addField(Field field, std::string_view value, bool continuation)
{
    if (field == Field::WwwAuthenticate) {
        if (wwwAuthenticateOverflow || value.empty()) {
            return;
        }
        const std::string_view separator = continuation ? " " : ", ";
        const size_t extra = (wwwAuthenticate.empty() ? 0 : separator.size()) + value.size();
        if (wwwAuthenticate.size() + extra > kMaxValue) {
            // A challenge cut short would be answered wrongly: keep only the whole ones before it.
            wwwAuthenticateOverflow = true;
            return;
        }
        if (!wwwAuthenticate.empty()) {
            wwwAuthenticate += separator;
        }
        wwwAuthenticate += value;
    } else if (field == Field::SetCookie) {
        if (cookieSeen && !continuation) {
            return; // only the first Set-Cookie line counts
        }
        if (!cookieValid && continuation) {
            return;
        }
        cookieSeen = true;
        std::string next = cookie;
        if (continuation && !next.empty()) {
            next += ' ';
        }
        next += value;
        cookieValid = next.size() <= kMaxValue;
        cookie = cookieValid ? next : std::string();
    }
}

void ResponseHeaders::AddLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
        startResponse(line);
        return;
    }
    if (!inResponse || complete) {
        return; // trailers and lines outside a header block
    }
    if (line.empty()) {
        complete = true;
        return;
    }
    // obs-fold: a line that starts with white space continues the previous field.
    if (isSpace(line.front())) {
        addField(lastField, trim(line), true);
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        lastField = Field::Other;
        return;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = trim(line.substr(colon + 1));
    if (EqualsNoCase(name, "WWW-Authenticate")) {
        lastField = Field::WwwAuthenticate;
    } else if (EqualsNoCase(name, "Set-Cookie")) {
        lastField = cookieSeen ? Field::Other : Field::SetCookie;
    } else {
        lastField = Field::Other;
    }
    addField(lastField, value, false);
}
