#pragma once
// The machine's local IPv4 addresses for discovery: interfaces that are up, IPv4, not loopback, in the
// order the system lists them (one entry per address).

#include <string>
#include <vector>

struct LocalInterface
{
    std::string name; // interface name, for example "eth0"
    std::string address; // dotted IPv4 text
};

// Empty when the list cannot be read.
std::vector<LocalInterface> LocalIpv4Interfaces();
