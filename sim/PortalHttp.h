#pragma once
// The cloud portal (HTTPS): sign-up ("/signin"), sign-in ("/account/?signin") and binding a recorder to
// the signed-in account ("/account/?add") as form posts; a "quelmo" session cookie; answers that contain
// "success" or an error code (SIGNUPERR..., SIGNINERR..., BINDERR...).

#include "HttpServer.h"

#include <map>
#include <string>

class SimState;

class PortalHttp
{
public:
    explicit PortalHttp(SimState& state);

    HttpReply handle(const HttpRequest& request);

    // Parses an application/x-www-form-urlencoded body ("+" is a space, %XX a byte); values lose the
    // line ends that close the body.
    static std::map<std::string, std::string> parseForm(const std::string& body);

private:
    HttpReply signUp(const std::map<std::string, std::string>& form);
    HttpReply signIn(const std::map<std::string, std::string>& form);
    HttpReply bind(const HttpRequest& request, const std::map<std::string, std::string>& form);
    std::string newSession();

    SimState& state;
    unsigned long long sessionCounter = 0;
};
