#pragma once
// Where a recorder's login and set-password datagrams go, and which datagrams may answer them: the
// administrator password travels in these, so it goes to the recorder alone wherever it can be reached directly.

#include "platform/LocalInterfaces.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The limited broadcast, for a recorder that no local subnet holds (a fresh one may carry any address).
constexpr const char* kLimitedBroadcast = "255.255.255.255";

// The destination text for a command to the recorder at recorderIp sent from an endpoint bound to boundAddress
// (any address when empty): the recorder's own address when it lies in the subnet of the interface that holds
// boundAddress (of any listed interface when boundAddress is empty), else kLimitedBroadcast.
std::string CommandDestination(const std::array<uint8_t, 4>& recorderIp, const std::string& boundAddress,
    const std::vector<LocalInterface>& interfaces);

// Whether a datagram from sender (four address bytes, first octet first) may answer a command to the recorder
// with recorderIp and recorderMac that was sent to sentTo: it comes from the recorder's address or from the
// address the command was sent to (never the broadcast address), or its header names the recorder's MAC.
bool IsReplyFromRecorder(const std::array<uint8_t, 4>& sender, const std::array<uint8_t, 4>& recorderIp,
    const std::array<uint8_t, 6>& recorderMac, const std::array<uint8_t, 4>& sentTo, const uint8_t* data,
    size_t length);
