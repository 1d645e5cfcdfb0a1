#pragma once
// The configuration interface of one simulated recorder (HTTP on its web port and HTTPS on 443): user
// "admin" with the recorder's current password, Digest only, and the "/config/" requests for time
// zone, storage and formatting, cameras, and cloud registration. Answers are key=value lines ended by
// CR LF.

#include "HttpServer.h"

#include <string>

class SimState;
struct RecorderState;

class RecorderHttp
{
public:
    static constexpr int slots = 8; // camera channels

    RecorderHttp(SimState& state, std::string name);

    HttpReply handle(const HttpRequest& request);

private:
    HttpReply timeZoneList(const HttpRequest& request);
    HttpReply dateTime(const HttpRequest& request);
    HttpReply manualRecord(const HttpRequest& request);
    HttpReply storageInfo(const HttpRequest& request);
    HttpReply storageFormat(const HttpRequest& request);
    HttpReply storageFormatPoll();
    HttpReply addCamera(const HttpRequest& request);
    HttpReply deleteCamera(const HttpRequest& request);
    HttpReply cameraDiscovery();
    HttpReply cloudRegStatus(const HttpRequest& request);
    HttpReply cloudPortal();
    HttpReply cloudRegInfo(const HttpRequest& request);

    SimState& state;
    std::string name;
};
