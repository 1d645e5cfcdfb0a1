#pragma once
// The recorder's time-zone answers: the zone list (UTF-8 text, a fixed 13-character prefix, then the zone
// names separated by ";") and the current zone of the date-and-time answer. Zone n is name n - 1.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TimeZoneList
{
public:
    static constexpr size_t kPrefixChars = 13; // "timezonelist="
    static constexpr size_t kMaxZones = 200;
    static constexpr size_t kMaxNameChars = 256; // UTF-16 units kept of one name
    static constexpr size_t kMaxAnswerBytes = 64000; // the page's answer buffer

    // The zone names of an answer: its `size` bytes (at most kMaxAnswerBytes) read as UTF-8 (malformed bytes
    // and zero bytes become U+FFFD, so a damaged name keeps its place and number), the first 13 characters dropped, the rest cut at ";". Every
    // piece is cut to kMaxNameChars (never inside a character of two units) and trimmed of CR and LF at both
    // ends; empty pieces are dropped, and names past the 200th are ignored. The names come back as UTF-8. An answer of 13 characters or fewer gives none.
    static std::vector<std::string> Parse(const char* data, size_t size);

    // The current zone of a "/config/datetime" answer (key=value lines ended by CR LF): the number in the
    // value of "timezone" when it names one of zoneCount zones (1..zoneCount), else -1 (missing, 0, negative,
    // too large or not a number).
    static int CurrentZone(std::string_view answer, size_t zoneCount);
};
