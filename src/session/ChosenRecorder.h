#pragma once
// The recorder chosen on the search page, as everything after it reaches it: what its search answer gave (address,
// MAC, web port, model), set once when the user picks it, and the administrator credentials the password page
// adds. The pages, the host's services, the setup steps and the plan runner all take this one value.

#include <string>

struct ChosenRecorder
{
    std::string address; // IPv4 address text, as the search answer gave it
    std::string mac; // MAC text, as the search answer gave it
    int webPort = 0; // the web port the search answer gave; 0: the default HTTP port
    std::string model; // the model the search answer names
    std::string user; // administrator user name, "admin" once chosen
    std::string password; // administrator password created or entered on the password page

    bool operator==(const ChosenRecorder&) const = default;
};
