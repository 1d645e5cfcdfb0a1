#pragma once
// Shared by the commands that need the discovery table: one whole search, and the recorder lookups.

#include "discovery/SearchDevice.h"

// Starts a search and waits for its end. False when the request could not be sent.
bool RunFullSearch(SearchDevice& search);
