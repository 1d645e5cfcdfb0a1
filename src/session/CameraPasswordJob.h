#pragma once
// One password job of the camera page: which camera (as the list showed it when the job was made), what to do
// with it and the password entered or created. Each worker holds its own copy and reports with it.

#include <cstdint>
#include <string>

struct CameraPasswordJob
{
    enum Kind { Verify, Create } kind = Verify;
    std::string mac; // the camera's MAC text as listed (identity; may be empty)
    std::string address; // the camera's ip text, "a.b.c.d" or "a.b.c.d:port"
    int row = -1; // list row when the job was made
    uint64_t generation = 0; // the list's generation (the page bumps it every time the list is refilled)
    bool useUdp = false; // protocol type "0"
    std::string model; // for "[Camera Name]"
    std::string oldPassword; // Create: the camera's known password (authenticates the change)
    std::string password; // filled by the overlay: the password entered / created
};
