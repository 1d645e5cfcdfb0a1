#pragma once
// The recorder's time-zone names for each language number it knows (4 English, 5 Spanish,
// 16 Portuguese, 19 Russian, 22 Simplified Chinese, 23 Traditional Chinese); zone number n is entry n-1.

#include <string>
#include <vector>

class TimeZoneTable
{
public:
    // nullptr for a language number the recorder does not know.
    static const std::vector<std::string>* names(int language);
};
