#pragma once
// The machine's local IPv4 addresses for discovery: interfaces that are up, IPv4, not loopback, in the
// order the system lists them (one entry per address).

#include <string>
#include <vector>

struct LocalInterface
{
    std::string name; // interface name, for example "eth0"
    std::string address; // dotted IPv4 text
    std::string netmask; // dotted IPv4 text of its subnet mask; empty when the system gives none
};

// Empty when the list cannot be read.
std::vector<LocalInterface> LocalIpv4Interfaces();
