// Portal forms, accounts, sessions and bindings.
#include "PortalHttp.h"

#include "SimState.h"

#include <cctype>
#include <random>

namespace {

HttpReply answer(const std::string& text, const std::string& note)
{
    HttpReply reply = HttpReply::text(200, "<html><body><p>" + text + "</p></body></html>\r\n");
    reply.contentType = "text/html; charset=utf-8";
    reply.note = note;
    return reply;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string formDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

bool plausibleEmail(const std::string& email)
{
    size_t at = email.find('@');
    if (at == 0 || at == std::string::npos || email.find('@', at + 1) != std::string::npos) {
        return false;
    }
    std::string domain = email.substr(at + 1);
    if (domain.find('.') == std::string::npos || domain.front() == '.' || domain.back() == '.') {
        return false;
    }
    for (unsigned char c : email) {
        if (c <= 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

std::string value(const std::map<std::string, std::string>& form, const char* key)
{
    auto it = form.find(key);
    return it == form.end() ? std::string() : it->second;
}

std::string cookieValue(const std::string& header, const std::string& name)
{
    size_t start = 0;
    while (start < header.size()) {
        size_t end = header.find(';', start);
        if (end == std::string::npos) {
            end = header.size();
        }
        std::string pair = header.substr(start, end - start);
        while (!pair.empty() && pair.front() == ' ') {
            pair.erase(0, 1);
        }
        if (pair.compare(0, name.size() + 1, name + "=") == 0) {
            return pair.substr(name.size() + 1);
        }
        start = end + 1;
    }
    return {};
}

} // namespace

PortalHttp::PortalHttp(SimState& state)
    : state(state)
{
}

std::map<std::string, std::string> PortalHttp::parseForm(const std::string& body)
{
    std::map<std::string, std::string> form;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) {
            end = body.size();
        }
        std::string pair = body.substr(start, end - start);
        while (!pair.empty() && (pair.back() == '\r' || pair.back() == '\n')) {
            pair.pop_back();
        }
        size_t eq = pair.find('=');
        if (eq != std::string::npos) {
            form.emplace(formDecode(pair.substr(0, eq)), formDecode(pair.substr(eq + 1)));
        }
        start = end + 1;
    }
    return form;
}

std::string PortalHttp::newSession()
{
    static std::random_device random;
    char text[40];
    std::snprintf(text, sizeof text, "%08x%08x%04llx", random(), random(), ++sessionCounter & 0xFFFF);
    return text;
}

HttpReply PortalHttp::handle(const HttpRequest& request)
{
    if (request.method == "GET" || request.method == "HEAD") {
        HttpReply reply = HttpReply::text(200,
            "<html><head><title>Quelmo</title></head><body><h1>Quelmo</h1>"
            "<p>Remote access for your recorder.</p></body></html>\r\n");
        reply.contentType = "text/html; charset=utf-8";
        return reply;
    }
    if (request.method != "POST") {
        return HttpReply::text(405, "405 Method Not Allowed\r\n");
    }
    auto form = parseForm(request.body);
    if (request.path == "/signin") {
        return signUp(form);
    }
    if (request.path == "/account/" && request.hasBareArg("signin")) {
        return signIn(form);
    }
    if (request.path == "/account/" && request.hasBareArg("add")) {
        return bind(request, form);
    }
    return HttpReply::text(404, "404 Not Found\r\n");
}

HttpReply PortalHttp::signUp(const std::map<std::string, std::string>& form)
{
    std::string email = value(form, "email");
    std::string password = value(form, "password");
    std::string code;
    std::string message;
    if (!plausibleEmail(email)) {
        code = "SIGNUPERR006";
        message = "The e-mail address is not valid.";
    } else if (value(form, "password_verify") != password) {
        code = "SIGNUPERR003";
        message = "The passwords do not match.";
    } else if (password.size() < 6 || password.find_first_of("0123456789") == std::string::npos
        || password.find_first_not_of("0123456789") == std::string::npos) {
        code = "SIGNUPERR002";
        message = "The password is too weak: use at least 6 characters with letters and digits.";
    } else if (password.size() > 32 || password.find(' ') != std::string::npos) {
        code = "SIGNUPERR004";
        message = "The password must have at most 32 characters and no spaces.";
    } else if (value(form, "name_first").empty() || value(form, "name_last").empty()) {
        code = "SIGNUPERR005";
        message = "Please enter your first and last name.";
    } else if (value(form, "accept") != "accept" || value(form, "action") != "sign-up") {
        code = "SIGNUPERR007";
        message = "Please accept the terms and conditions.";
    }
    std::string session;
    state.update([&](SimState& s) {
        if (code.empty() && s.account(email) != nullptr) {
            code = "SIGNUPERR001";
            message = "This e-mail address is already registered.";
            return;
        }
        if (!code.empty()) {
            return;
        }
        PortalAccount account;
        account.setup.email = email;
        account.setup.password = password;
        account.setup.firstName = value(form, "name_first");
        account.setup.lastName = value(form, "name_last");
        session = newSession();
        account.session = session;
        s.accounts.push_back(account);
        ++s.portalSignUps;
    });
    if (!code.empty()) {
        return answer(code + ": " + message, code);
    }
    HttpReply reply = answer("success: the account " + email + " was created.", "signed up " + email);
    reply.headers.emplace_back("Set-Cookie", "quelmo=" + session + "; Path=/; Secure; HttpOnly");
    return reply;
}

HttpReply PortalHttp::signIn(const std::map<std::string, std::string>& form)
{
    std::string email = value(form, "email");
    std::string password = value(form, "password");
    std::string code;
    std::string message;
    std::string session;
    state.update([&](SimState& s) {
        PortalAccount* account = s.account(email);
        if (email.empty() || password.empty()) {
            code = "SIGNINERR003";
            message = "Please enter your e-mail address and password.";
        } else if (account == nullptr) {
            code = "SIGNINERR001";
            message = "There is no account for this e-mail address.";
        } else if (account->setup.password != password) {
            code = "SIGNINERR002";
            message = "The password is not correct.";
            ++account->failedSignIns;
        } else {
            session = newSession();
            account->session = session;
            ++s.portalSignIns;
        }
    });
    if (!code.empty()) {
        return answer(code + ": " + message, code);
    }
    HttpReply reply = answer("success: signed in as " + email + ".", "signed in " + email);
    reply.headers.emplace_back("Set-Cookie", "quelmo=" + session + "; Path=/; Secure; HttpOnly");
    return reply;
}

HttpReply PortalHttp::bind(const HttpRequest& request, const std::map<std::string, std::string>& form)
{
    std::string session = cookieValue(request.header("Cookie"), "quelmo");
    std::string number = value(form, "tovra_no");
    std::string code;
    std::string message;
    std::string model;
    std::string email;
    state.update([&](SimState& s) {
        PortalAccount* account = nullptr;
        for (auto& a : s.accounts) {
            if (!session.empty() && a.session == session) {
                account = &a;
            }
        }
        const RecorderState* recorder = nullptr;
        for (const auto& r : s.recorders) {
            if (r.setup.portalNumber == number) {
                recorder = &r;
            }
        }
        PortalAccount* owner = nullptr;
        for (auto& a : s.accounts) {
            for (const auto& b : a.bindings) {
                if (b == number) {
                    owner = &a;
                }
            }
        }
        if (account == nullptr) {
            code = "BINDERR001";
            message = "Please sign in first.";
        } else if (s.portal.refuseBind) {
            code = "BINDERR002";
            message = "The device cannot be added at this time.";
        } else if (recorder == nullptr) {
            code = "BINDERR003";
            message = "Unknown device number.";
        } else if (value(form, "dfp") != recorder->setup.portalDfp) {
            code = "BINDERR004";
            message = "The device could not be verified.";
        } else if (value(form, "device_password") != recorder->password) {
            code = "BINDERR005";
            message = "The device password is not correct.";
        } else if (owner != nullptr && owner != account) {
            code = "BINDERR006";
            message = "The device is registered to another account.";
        } else {
            if (owner == nullptr) {
                account->bindings.push_back(number);
            }
            model = recorder->setup.model;
            email = account->setup.email;
            ++s.portalBinds;
        }
    });
    if (!code.empty()) {
        return answer(code + ": " + message, code);
    }
    return answer("success: the device " + number + " (" + model + ") was added to " + email + ".", "bound " + number);
}
