#pragma once
// The CGI interface of one simulated IP camera: "/userlist.cgi" (login check), "/system.cgi" (password
// change with its echo) and "/image/jpeg.cgi" (an endless stream of JPEG pictures), behind Basic and/or
// Digest authentication for the user "admin".

#include "HttpServer.h"

#include <string>

class SimState;

class CameraHttp
{
public:
    CameraHttp(SimState& state, std::string name);

    HttpReply handle(const HttpRequest& request);
    // The challenge this camera answers a request without valid credentials with.
    static HttpReply::Challenge challengeFor(const std::string& auth);

private:
    HttpReply changePassword(const HttpRequest& request);
    HttpReply pictureStream(const HttpRequest& request);

    SimState& state;
    std::string name;
};
