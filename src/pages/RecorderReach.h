#pragma once
// Where a listed recorder can be reached from: the local interface a search answer arrived on, and whether the
// recorder's address lies inside a subnet of this PC (a recorder outside every one cannot be reached).

#include "platform/LocalInterfaces.h"

#include <optional>
#include <string>
#include <vector>

// The interface that owns address (dotted text), or nullptr.
const LocalInterface* InterfaceWithAddress(const std::vector<LocalInterface>& interfaces, const std::string& address);

// True when ip (dotted text) lies in the subnet of at least one interface, false when it lies in none, and no
// answer when it cannot be told (ip unreadable, or no interface with a readable address and mask).
std::optional<bool> InLocalSubnet(const std::vector<LocalInterface>& interfaces, const std::string& ip);
