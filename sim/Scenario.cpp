// Scenario file parsing and checks.
#include "Scenario.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

namespace {

// Splits a line into words; a word may hold double-quoted parts ("a b" or key="a b"); "#" outside quotes
// starts a comment.
bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& error)
{
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == '#') {
            break;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "unterminated quote";
        return false;
    }
    if (inWord) {
        words.push_back(word);
    }
    return true;
}

bool toInt(const std::string& text, long low, long high, int& out)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool toBool(const std::string& text, bool& out)
{
    if (text == "yes" || text == "1" || text == "true") {
        out = true;
    } else if (text == "no" || text == "0" || text == "false") {
        out = false;
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> splitList(const std::string& text, char separator)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            items.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return items;
}

} // namespace

// usbN=none | SIZE_GB[:notready][:ready-ms=N][:formatted][:parts=N][:model=TEXT]
bool Scenario::parseDisk(const std::string& text, DiskSetup& disk)
{
    disk = DiskSetup {};
    if (text == "none") {
        return true;
    }
    auto parts = splitList(text, ':');
    if (parts.empty() || !toInt(parts[0], 1, 100000, disk.sizeGb)) {
        return false;
    }
    disk.plugged = true;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& flag = parts[i];
        if (flag == "notready") {
            disk.ready = false;
        } else if (flag.rfind("ready-ms=", 0) == 0) {
            if (!toInt(flag.substr(9), 1, 600000, disk.readyMs)) {
                return false;
            }
            disk.ready = false;
        } else if (flag == "formatted") {
            disk.formatted = true;
        } else if (flag.rfind("parts=", 0) == 0) {
            if (!toInt(flag.substr(6), 1, 4, disk.partitions)) {
                return false;
            }
        } else if (flag.rfind("model=", 0) == 0) {
            disk.model = flag.substr(6);
        } else {
            return false;
        }
    }
    return true;
}

namespace {

bool applyRecorderKey(RecorderSetup& r, const std::string& key, const std::string& value, std::string& error)
{
    if (key == "model") {
        r.model = value;
    } else if (key == "extra") {
        r.extra = value;
    } else if (key == "mac") {
        return Scenario::parseMac(value, r.mac) || (error = "bad MAC", false);
    } else if (key == "ip") {
        return Scenario::parseIpv4(value, r.ip) || (error = "bad IPv4 address", false);
    } else if (key == "search-ip") {
        return Scenario::parseIpv4(value, r.searchIp) || (error = "bad IPv4 address", false);
    } else if (key == "port") {
        return toInt(value, 1, 65535, r.webPort) || (error = "bad port", false);
    } else if (key == "https-port") {
        return toInt(value, 1, 65535, r.httpsPort) || (error = "bad port", false);
    } else if (key == "password") {
        r.password = value;
    } else if (key == "realm") {
        r.realm = value;
    } else if (key == "zone") {
        return toInt(value, 0, 199, r.zone) || (error = "bad zone number", false);
    } else if (key == "usb1" || key == "usb2") {
        return Scenario::parseDisk(value, r.disks[key == "usb1" ? 0 : 1])
            || (error = "bad disk '" + value + "'", false);
    } else if (key == "sees") {
        r.sees = splitList(value, ',');
    } else if (key == "registered") {
        r.registered = splitList(value, ',');
    } else if (key == "cloud-access") {
        return toInt(value, 0, 9, r.cloudAccess) || (error = "bad cloud access", false);
    } else if (key == "format-ms") {
        return toInt(value, 0, 600000, r.formatMs) || (error = "bad format time", false);
    } else if (key == "cloud-status") {
        return toInt(value, 0, 9, r.cloudStatus) || (error = "bad cloud status", false);
    } else if (key == "cloud-email") {
        r.cloudEmail = value;
    } else if (key == "cloud-password") {
        r.cloudPassword = value;
    } else if (key == "portal-number") {
        r.portalNumber = value;
    } else if (key == "portal-dfp") {
        r.portalDfp = value;
    } else if (key == "portal-host") {
        r.portalHost = value;
    } else if (key == "fault") {
        return r.faults.add(value, error);
    } else {
        error = "unknown recorder key '" + key + "'";
        return false;
    }
    return true;
}

bool applyCameraKey(CameraSetup& c, const std::string& key, const std::string& value, std::string& error)
{
    if (key == "model") {
        c.model = value;
    } else if (key == "brand") {
        c.brand = value;
    } else if (key == "mac") {
        return Scenario::parseMac(value, c.mac) || (error = "bad MAC", false);
    } else if (key == "ip") {
        return Scenario::parseIpv4(value, c.ip) || (error = "bad IPv4 address", false);
    } else if (key == "port") {
        return toInt(value, 1, 65535, c.port) || (error = "bad port", false);
    } else if (key == "password") {
        c.password = value;
    } else if (key == "auth") {
        if (value != "any" && value != "basic" && value != "digest") {
            error = "auth must be any, basic or digest";
            return false;
        }
        c.auth = value;
    } else if (key == "realm") {
        c.realm = value;
    } else if (key == "protocoltype") {
        return toInt(value, 0, 99, c.protocolType) || (error = "bad protocol type", false);
    } else if (key == "search") {
        return toBool(value, c.answersSearch) || (error = "search must be yes or no", false);
    } else if (key == "list-account") {
        return toBool(value, c.listAccount) || (error = "list-account must be yes or no", false);
    } else if (key == "list-password") {
        c.listPassword = value;
    } else if (key == "stream") {
        if (value != "jpeg" && value != "multipart") {
            error = "stream must be jpeg or multipart";
            return false;
        }
        c.multipart = value == "multipart";
    } else if (key == "fps") {
        return toInt(value, 1, 30, c.fps) || (error = "fps must be 1..30", false);
    } else if (key == "picture") {
        const size_t x = value.find('x');
        if (x == std::string::npos || !toInt(value.substr(0, x), 16, 10000, c.pictureWidth)
            || !toInt(value.substr(x + 1), 16, 10000, c.pictureHeight)) {
            error = "picture must be WIDTHxHEIGHT, each 16..10000";
            return false;
        }
    } else if (key == "fault") {
        return c.faults.add(value, error);
    } else {
        error = "unknown camera key '" + key + "'";
        return false;
    }
    return true;
}

} // namespace

bool Scenario::parseIpv4(const std::string& text, Ipv4& out)
{
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 || c > 255
        || d > 255) {
        return false;
    }
    out = { uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d) };
    return true;
}

bool Scenario::parseMac(const std::string& text, Mac& out)
{
    unsigned v[6];
    char tail;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &tail) != 6) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        out[i] = uint8_t(v[i]);
    }
    return true;
}

std::string Scenario::ipText(const Ipv4& ip)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
    return text;
}

std::string Scenario::macText(const Mac& mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

bool Scenario::load(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot read";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string reason;
        if (!parseLine(line, reason)) {
            error = path + ":" + std::to_string(number) + ": " + reason;
            return false;
        }
    }
    return true;
}

bool Scenario::parseLine(const std::string& line, std::string& error)
{
    std::vector<std::string> words;
    if (!splitWords(line, words, error)) {
        return false;
    }
    if (words.empty()) {
        return true;
    }
    const std::string kind = words[0];
    size_t first = 1;
    std::string name;
    if (kind == "recorder" || kind == "camera") {
        if (words.size() < 2 || words[1].find('=') != std::string::npos) {
            error = kind + " needs a name";
            return false;
        }
        name = words[1];
        first = 2;
    } else if (kind != "portal" && kind != "account") {
        error = "unknown line kind '" + kind + "'";
        return false;
    }

    RecorderSetup recorder;
    CameraSetup camera;
    AccountSetup account;
    recorder.name = name;
    camera.name = name;
    for (size_t i = first; i < words.size(); ++i) {
        size_t eq = words[i].find('=');
        if (eq == std::string::npos) {
            error = "expected key=value, got '" + words[i] + "'";
            return false;
        }
        std::string key = words[i].substr(0, eq);
        std::string value = words[i].substr(eq + 1);
        bool ok = true;
        if (kind == "recorder") {
            ok = applyRecorderKey(recorder, key, value, error);
        } else if (kind == "camera") {
            ok = applyCameraKey(camera, key, value, error);
        } else if (kind == "portal") {
            if (key == "ip") {
                ok = parseIpv4(value, portal.ip) || (error = "bad IPv4 address", false);
            } else if (key == "host") {
                portal.host = value;
            } else if (key == "refuse-bind") {
                ok = toBool(value, portal.refuseBind) || (error = "refuse-bind must be yes or no", false);
            } else if (key == "fault") {
                ok = portal.faults.add(value, error);
            } else {
                error = "unknown portal key '" + key + "'";
                ok = false;
            }
        } else {
            if (key == "email") {
                account.email = value;
            } else if (key == "password") {
                account.password = value;
            } else if (key == "first") {
                account.firstName = value;
            } else if (key == "last") {
                account.lastName = value;
            } else if (key == "devices") {
                account.devices = splitList(value, ',');
            } else {
                error = "unknown account key '" + key + "'";
                ok = false;
            }
        }
        if (!ok) {
            return false;
        }
    }

    if (kind == "recorder") {
        recorders.push_back(recorder);
    } else if (kind == "camera") {
        cameras.push_back(camera);
    } else if (kind == "portal") {
        portal.enabled = true;
    } else {
        if (account.email.empty()) {
            error = "account needs email=";
            return false;
        }
        accounts.push_back(account);
    }
    return true;
}

bool Scenario::addFaults(const std::string& setup, std::string& error)
{
    size_t eq = setup.find('=');
    if (eq == std::string::npos) {
        error = "--fault wants NAME=FAULTS";
        return false;
    }
    std::string name = setup.substr(0, eq);
    std::string faults = setup.substr(eq + 1);
    if (name == "portal") {
        return portal.faults.add(faults, error);
    }
    for (auto& r : recorders) {
        if (r.name == name) {
            return r.faults.add(faults, error);
        }
    }
    for (auto& c : cameras) {
        if (c.name == name) {
            return c.faults.add(faults, error);
        }
    }
    error = "--fault: no device named '" + name + "'";
    return false;
}

bool Scenario::finish(std::string& error)
{
    std::set<std::string> names;
    std::map<std::string, std::string> endpoints; // "ip:port" -> owner
    auto claim = [&](const std::string& owner, const Ipv4& ip, int port, const char* what) {
        std::string key = ipText(ip) + ":" + std::to_string(port) + "/" + what;
        auto [it, fresh] = endpoints.emplace(key, owner);
        if (!fresh) {
            error = owner + " and " + it->second + " both listen on " + key;
        }
        return fresh;
    };
    for (auto& r : recorders) {
        if (r.ip == Ipv4 {} || r.mac == Mac {}) {
            error = "recorder " + r.name + " needs ip= and mac=";
            return false;
        }
        if (!names.insert(r.name).second) {
            error = "name " + r.name + " used twice";
            return false;
        }
        if (!claim(r.name, r.ip, r.webPort, "tcp") || !claim(r.name, r.ip, r.httpsPort, "tcp")) {
            return false;
        }
        if (r.portalNumber.empty()) {
            char number[16];
            std::snprintf(number, sizeof number, "Q%02X%02X%02X%02X", r.mac[2], r.mac[3], r.mac[4], r.mac[5]);
            r.portalNumber = number;
        }
        if (r.portalDfp.empty()) {
            char dfp[40];
            std::snprintf(dfp, sizeof dfp, "dfp%02x%02x%02x%02x%02x%02x7e", r.mac[0], r.mac[1], r.mac[2], r.mac[3],
                r.mac[4], r.mac[5]);
            r.portalDfp = dfp;
        }
    }
    for (auto& c : cameras) {
        if (c.ip == Ipv4 {} || c.mac == Mac {}) {
            error = "camera " + c.name + " needs ip= and mac=";
            return false;
        }
        if (!names.insert(c.name).second) {
            error = "name " + c.name + " used twice";
            return false;
        }
        if (!claim(c.name, c.ip, c.port, "tcp")) {
            return false;
        }
    }
    auto isCamera = [&](const std::string& n) {
        for (const auto& c : cameras) {
            if (c.name == n) {
                return true;
            }
        }
        return false;
    };
    for (auto& r : recorders) {
        for (const auto& n : r.sees) {
            if (!isCamera(n)) {
                error = "recorder " + r.name + " sees unknown camera " + n;
                return false;
            }
        }
        for (const auto& n : r.registered) {
            if (!isCamera(n)) {
                error = "recorder " + r.name + " has unknown camera " + n + " registered";
                return false;
            }
        }
    }
    if (portal.enabled && !claim("portal", portal.ip, 443, "tcp")) {
        return false;
    }
    return true;
}
