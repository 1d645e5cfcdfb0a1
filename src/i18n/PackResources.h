#pragma once
// The language packs built into the program, found by their resource id (3153 to 3158). The build
// embeds every pack under resources/lang; a language whose pack is not there has no resource.

#include <string_view>

class PackResources
{
public:
    // The bytes of the pack with this resource id, unchanged; empty when the program has none.
    static std::string_view Find(int resourceId);
};
