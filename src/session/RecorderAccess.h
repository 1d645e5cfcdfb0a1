#pragma once
// The recorder chosen on the search page as the pages after it reach it: its address, MAC, credentials and the
// web port its search answer gave (0 when the discovery table no longer knows it: the default port).

#include <string>

struct RecorderAccess
{
    std::string ip;
    std::string mac;
    std::string user;
    std::string password;
    int webPort = 0;
};
