// Fault switches: parsing and lookup.
#include "FaultSet.h"

#include <cstdlib>

namespace {

struct KnownFault
{
    const char* name;
    bool udp; // the scope is a datagram kind (exact) rather than an HTTP path prefix
};

constexpr KnownFault knownFaults[] = {
    // datagram service
    { "udp-silent", true }, // no answer at all
    { "udp-late", true }, // answer after the value in ms (default 7000, past the 6 s search window)
    { "udp-other-model", true }, // the search answer names another model
    { "udp-zero-ip", true }, // the search answer carries the address 0.0.0.0
    { "udp-short", true }, // the answer is cut to the value in bytes (default 200)
    { "udp-400", true }, // the answer is padded to 400 bytes
    { "udp-1500", true }, // the answer is padded to 1500 bytes
    { "udp-garbage", true }, // random bytes instead of the answer
    { "udp-yesno", true }, // the answer begins with the letters "yesno"
    { "udp-status", true }, // the answer carries a non-zero status (value, default 1)
    { "udp-seq-zero", true }, // the answer carries sequence 0 instead of echoing the request's
    // HTTP (devices and portal)
    { "http-silent", false }, // the connection is accepted and never answered
    { "http-slow", false }, // the answer waits the value in ms (default 3000)
    { "http-401", false }, // every request is refused with 401, whatever the credentials
    { "http-409", false }, // every request gets 409 Conflict
    { "http-truncated", false }, // the body announces more than it sends; the connection is cut
    { "http-oversize", false }, // the body is padded past the value in bytes (default 70000)
    { "http-nokeys", false }, // the body lacks the keys a client looks for
    { "http-404", false }, // 404 Not Found, before any authentication
    { "http-500", false }, // 500 Internal Server Error, before any authentication
    { "tz-crlf", false }, // every zone name of the zone list ends with CR LF
    { "tz-many", false }, // the zone list goes on with made-up zones up to the value (default 250) names
    { "format-fail", false }, // a formatting started now fails at the value in percent (default 50)
    { "format-stall", false }, // a formatting started now stops at the value in percent (default 99)
    { "echo-late", false }, // a camera confirms a password change only after a line of the value in bytes (200)
    { "jpeg-no-eoi", false }, // the picture stream's JPEGs come without their end-of-image marker
    { "jpeg-embedded-eoi", false }, // each JPEG carries a comment holding a small picture (FF D8 ... FF D9)
    { "jpeg-undecodable", false }, // each JPEG is a start marker, bytes that decode to nothing and an end marker
    { "jpeg-stall", false }, // the stream stops after the value in bytes of its first picture (default: half)
    { "http-split", false }, // the body leaves in pieces of the value in bytes (default 16), 20 ms apart
    { "http-no-cookie", false }, // the answer's Set-Cookie headers are dropped
    { "http-trickle", false }, // the body (announced as 1 GiB) leaves one byte every value in ms (default 1000)
};

} // namespace

bool FaultSet::isKnown(const std::string& name)
{
    for (const auto& known : knownFaults) {
        if (name == known.name) {
            return true;
        }
    }
    return false;
}

bool FaultSet::add(const std::string& text, std::string& error, bool allowCount)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? text.size() + 1 : comma + 1;
        if (item.empty()) {
            continue;
        }
        Fault fault;
        // name[:value][*count][@scope]
        size_t at = item.find('@');
        if (at != std::string::npos) {
            fault.scope = item.substr(at + 1);
            item.resize(at);
        }
        size_t star = item.find('*');
        if (star != std::string::npos) {
            std::string number = item.substr(star + 1);
            char* end = nullptr;
            fault.count = std::strtol(number.c_str(), &end, 10);
            if (!allowCount) {
                error = "fault '" + item + "': a count is for faults switched on while the simulator runs";
                return false;
            }
            if (number.empty() || *end != '\0' || fault.count < 1) {
                error = "fault '" + item + "': the count must be a number from 1";
                return false;
            }
            item.resize(star);
        }
        size_t colon = item.find(':');
        if (colon != std::string::npos) {
            std::string number = item.substr(colon + 1);
            char* end = nullptr;
            fault.value = std::strtol(number.c_str(), &end, 10);
            if (number.empty() || *end != '\0' || fault.value < 0) {
                error = "fault '" + item + "': the value must be a number";
                return false;
            }
            fault.hasValue = true;
            item.resize(colon);
        }
        if (!isKnown(item)) {
            error = "unknown fault '" + item + "'";
            return false;
        }
        fault.name = item;
        faults.push_back(fault);
    }
    return true;
}

void FaultSet::append(const FaultSet& other)
{
    faults.insert(faults.end(), other.faults.begin(), other.faults.end());
}

std::optional<Fault> FaultSet::find(const std::string& name, const std::string& subject) const
{
    bool udp = name.rfind("udp-", 0) == 0;
    for (const auto& fault : faults) {
        if (fault.name != name) {
            continue;
        }
        if (fault.scope.empty() || (udp ? subject == fault.scope : subject.rfind(fault.scope, 0) == 0)) {
            return fault;
        }
    }
    return std::nullopt;
}

FaultSet FaultSet::forRequest(const std::string& subject, bool use)
{
    FaultSet taken;
    for (auto it = faults.begin(); it != faults.end();) {
        bool udp = it->name.rfind("udp-", 0) == 0;
        if (udp || !(it->scope.empty() || subject.rfind(it->scope, 0) == 0)) {
            ++it;
            continue;
        }
        taken.faults.push_back(*it);
        if (use && it->count > 0 && --it->count == 0) {
            it = faults.erase(it);
        } else {
            ++it;
        }
    }
    return taken;
}
