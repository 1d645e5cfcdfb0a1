// The recorder's "/config/" requests.
#include "RecorderHttp.h"

#include "SimBase64.h"
#include "SimState.h"
#include "TimeZoneTable.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace {

const char* const badRequest = "<html><head><title>400 Bad Request</title></head>"
                               "<body><h1>400 Bad Request</h1></body></html>\r\n";

HttpReply bad(const std::string& why)
{
    HttpReply reply = HttpReply::text(400, badRequest);
    reply.contentType = "text/html";
    reply.note = why;
    return reply;
}

HttpReply lines(const std::string& body)
{
    return HttpReply::text(200, body);
}

// A whole decimal number within [low, high].
bool number(const std::optional<std::string>& text, long low, long high, int& out)
{
    if (!text || text->empty() || text->size() > 9) {
        return false;
    }
    char* end = nullptr;
    long value = std::strtol(text->c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

std::string hostText(const CameraSetup& c)
{
    return Scenario::ipText(c.ip) + (c.port != 80 ? ":" + std::to_string(c.port) : "");
}

// A query value as sent, "%XX" decoded but "+" kept: Base64 values carry "+" raw, which a form decoder would
// turn into a space.
std::optional<std::string> rawArg(const HttpRequest& request, const std::string& name)
{
    const size_t question = request.rawUri.find('?');
    if (question == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream pairs(request.rawUri.substr(question + 1));
    std::string pair;
    while (std::getline(pairs, pair, '&')) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos || pair.compare(0, equals, name) != 0 || equals != name.size()) {
            continue;
        }
        std::string value;
        for (size_t i = equals + 1; i < pair.size(); ++i) {
            if (pair[i] == '%' && i + 2 < pair.size() && std::isxdigit(static_cast<unsigned char>(pair[i + 1]))
                && std::isxdigit(static_cast<unsigned char>(pair[i + 2]))) {
                value += static_cast<char>(std::stoi(pair.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                value += pair[i];
            }
        }
        return value;
    }
    return std::nullopt;
}

// A field of a camera line: a text holding the line's separators is listed empty rather than shifting the
// fields after it.
std::string lineField(const std::string& text)
{
    return text.find_first_of(";\r\n") == std::string::npos ? text : std::string();
}

} // namespace

RecorderHttp::RecorderHttp(SimState& state, std::string name)
    : state(state)
    , name(std::move(name))
{
}

HttpReply RecorderHttp::handle(const HttpRequest& request)
{
    if (request.path == "/" || request.path == "/index.html") {
        HttpReply reply = HttpReply::text(200,
            "<html><head><title>HXT-914Q</title></head><body><h1>HXT-914Q</h1>"
            "<p>Network video recorder</p></body></html>\r\n");
        reply.contentType = "text/html";
        return reply;
    }

    std::string password;
    std::string realm;
    state.read([&](const SimState& s) {
        const RecorderState* r = s.recorder(name);
        password = r->password;
        realm = r->setup.realm;
    });
    AuthCheck auth = HttpServer::checkDigest(request, realm, "admin", password);
    if (auth != AuthCheck::Ok) {
        HttpReply reply = HttpReply::text(401, "401 Unauthorized\r\n");
        reply.challenge = HttpReply::Challenge::Digest;
        reply.realm = realm;
        reply.stale = auth == AuthCheck::Stale;
        reply.note = auth == AuthCheck::Missing ? "challenge" : auth == AuthCheck::Stale ? "nonce" : "refused";
        return reply;
    }
    if (request.method != "GET" && request.method != "HEAD") {
        return HttpReply::text(405, "405 Method Not Allowed\r\n");
    }

    const std::string& p = request.path;
    if (p == "/config/timezonelist") {
        return timeZoneList(request);
    }
    if (p == "/config/datetime") {
        return dateTime(request);
    }
    if (p == "/config/manrecord") {
        return manualRecord(request);
    }
    if (p == "/config/storageinfo") {
        return storageInfo(request);
    }
    if (p == "/config/storageformat") {
        return storageFormat(request);
    }
    if (p == "/config/storageformatpoll") {
        return storageFormatPoll();
    }
    if (p == "/config/addavdev") {
        return addCamera(request);
    }
    if (p == "/config/delavdev") {
        return deleteCamera(request);
    }
    if (p == "/config/languages") {
        return lines("language=4\r\nlanguages=4;5;16;19;22;23\r\n");
    }
    if (p == "/config/quelmodiscovery") {
        return cameraDiscovery();
    }
    if (p == "/config/quelmoregstatus") {
        return cloudRegStatus(request);
    }
    if (p == "/config/quelmoportal") {
        return cloudPortal();
    }
    if (p == "/config/quelmoreginfo") {
        return cloudRegInfo(request);
    }
    HttpReply reply = HttpReply::text(404, "404 Not Found\r\n");
    return reply;
}

HttpReply RecorderHttp::timeZoneList(const HttpRequest& request)
{
    int language = 4;
    if (request.arg("language") && !number(request.arg("language"), 0, 999, language)) {
        return bad("language");
    }
    const std::vector<std::string>* names = TimeZoneTable::names(language);
    if (names == nullptr) {
        names = TimeZoneTable::names(4); // a language it does not know: English names
    }
    // Faults: names ended by CR LF (as some firmware writes them), and a list longer than any recorder's.
    const bool crlf = request.faults.has("tz-crlf", request.rawUri);
    size_t count = names->size();
    if (auto many = request.faults.find("tz-many", request.rawUri)) {
        count = std::max<size_t>(count, static_cast<size_t>(many->hasValue ? many->value : 250));
    }
    std::string body = "timezonelist=";
    for (size_t i = 0; i < count; ++i) {
        body += i > 0 ? ";" : "";
        body += i < names->size() ? (*names)[i] : "(GMT+00:00) Extra zone " + std::to_string(i + 1);
        body += crlf ? "\r\n" : "";
    }
    HttpReply reply = lines(body);
    reply.contentType = "text/plain; charset=utf-8";
    reply.note = "language " + std::to_string(language)
        + (count != names->size() ? ", " + std::to_string(count) + " zones" : "") + (crlf ? ", CR LF" : "");
    return reply;
}

HttpReply RecorderHttp::dateTime(const HttpRequest& request)
{
    int zone = 0;
    if (auto wanted = request.arg("timezone")) {
        int count = static_cast<int>(TimeZoneTable::names(4)->size());
        if (!number(wanted, 1, count, zone)) {
            return bad("zone " + *wanted);
        }
        state.update([&](SimState& s) { s.recorder(name)->zone = zone; });
    } else {
        state.read([&](const SimState& s) { zone = s.recorder(name)->zone; });
    }
    std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char date[64];
    std::strftime(date, sizeof date, "date=%Y-%m-%d\r\ntime=%H:%M:%S\r\n", &utc);
    return lines(std::string(date) + "timezone=" + std::to_string(zone) + "\r\ndst=0\r\nntp=0\r\n");
}

HttpReply RecorderHttp::manualRecord(const HttpRequest& request)
{
    int record = 0;
    if (!number(request.arg("record"), 0, 1, record)) {
        return bad("record");
    }
    state.update([&](SimState& s) { s.recorder(name)->recording = record == 1; });
    return lines("record=" + std::to_string(record) + "\r\n");
}

HttpReply RecorderHttp::storageInfo(const HttpRequest& request)
{
    int id = 0;
    if (!number(request.arg("storageid"), 0, 1, id)) {
        return bad("storage id");
    }
    std::string body;
    state.update([&](SimState& s) {
        RecorderState& r = *s.recorder(name);
        s.advanceFormats(r);
        const DiskState& d = r.disks[static_cast<size_t>(id)];
        bool ready = d.setup.plugged && d.setup.ready && !d.formatting;
        body = "storageid=" + std::to_string(id) + "\r\n";
        body += "plug=" + std::string(d.setup.plugged ? "1" : "0") + "\r\n";
        body += "ready=" + std::string(ready ? "1" : "0") + "\r\n";
        body += "type=usb\r\n";
        if (!d.setup.plugged) {
            body += "devicename=\r\nmodelname=\r\nusedpartition=0\r\n";
            return;
        }
        body += "devicename=/dev/sd" + std::string(1, static_cast<char>('a' + id)) + "\r\n";
        body += "modelname=" + d.setup.model + "\r\n";
        body += "capacity=" + std::to_string(d.setup.sizeGb) + " GB\r\n";
        body += "usedpartition=1\r\n";
        // partitioninfoN=number,device,start sector,size in bytes,free bytes,file-system code
        long long size = static_cast<long long>(d.setup.sizeGb) * 1000000000LL / d.setup.partitions;
        for (int n = 1; n <= d.setup.partitions; ++n) {
            long long free = d.setup.formatted ? size - size / 100 : 0;
            body += "partitioninfo" + std::to_string(n) + "=" + std::to_string(n) + ",/dev/sd"
                + std::string(1, static_cast<char>('a' + id)) + std::to_string(n) + ","
                + std::to_string(2048 + (n - 1) * (size / 512)) + "," + std::to_string(size) + ","
                + std::to_string(free) + "," + std::to_string(d.fsCode) + "\r\n";
        }
    });
    return lines(body);
}

HttpReply RecorderHttp::storageFormat(const HttpRequest& request)
{
    int id = 0;
    int partition = 0;
    int fs = 0;
    if (!number(request.arg("storageid"), 0, 1, id) || !number(request.arg("partition"), 0, 4, partition)
        || !number(request.arg("fs"), 1, 5, fs)) {
        return bad("format arguments");
    }
    std::string body;
    state.update([&](SimState& s) {
        RecorderState& r = *s.recorder(name);
        s.advanceFormats(r);
        DiskState& d = r.disks[static_cast<size_t>(id)];
        if (!d.setup.plugged) {
            body = "result=fail\r\nreason=no disk\r\n";
            return;
        }
        d.formatting = true;
        d.formatStart = std::chrono::steady_clock::now();
        d.lastFs = fs;
        d.lastPartition = partition;
        d.progress = 1;
        auto fail = request.faults.find("format-fail", request.rawUri);
        auto stall = request.faults.find("format-stall", request.rawUri);
        d.failAt = fail ? static_cast<int>(fail->hasValue ? fail->value : 50) : -1;
        d.stallAt = stall ? static_cast<int>(stall->hasValue ? stall->value : 99) : -1;
        r.formatPort = id;
        body = "result=ok\r\n";
    });
    HttpReply reply = lines(body);
    reply.note = "storage " + std::to_string(id) + " fs " + std::to_string(fs);
    return reply;
}

HttpReply RecorderHttp::storageFormatPoll()
{
    int progress = 0;
    state.update([&](SimState& s) {
        RecorderState& r = *s.recorder(name);
        s.advanceFormats(r);
        if (r.formatPort >= 0) {
            progress = r.disks[static_cast<size_t>(r.formatPort)].progress;
        }
    });
    HttpReply reply = lines("status=" + std::to_string(progress) + "\r\n");
    reply.note = std::to_string(progress) + "%";
    return reply;
}

HttpReply RecorderHttp::addCamera(const HttpRequest& request)
{
    RegisteredCamera c;
    auto account = rawArg(request, "account");
    auto pass = rawArg(request, "pass");
    auto host = request.arg("hostname");
    if (!number(request.arg("avdevid"), 0, slots - 1, c.slot) || !number(request.arg("protocol"), 0, 99, c.protocol)
        || !number(request.arg("protocoltype"), 0, 99, c.protocolType) || !host || host->empty() || !account || !pass) {
        return bad("camera arguments");
    }
    auto decodedAccount = SimBase64::decode(*account);
    auto decodedPass = SimBase64::decode(*pass);
    if (!decodedAccount || !decodedPass) {
        return bad("account or password is not Base64");
    }
    c.name = request.arg("avdevname").value_or("");
    c.host = *host;
    c.hostId = request.arg("hostid").value_or("");
    c.account = *decodedAccount;
    c.password = *decodedPass;
    c.brand = request.arg("brand").value_or("");
    c.product = request.arg("product").value_or("");
    state.update([&](SimState& s) {
        auto& cameras = s.recorder(name)->cameras;
        auto at = cameras.begin();
        while (at != cameras.end() && at->slot < c.slot) {
            ++at;
        }
        if (at != cameras.end() && at->slot == c.slot) {
            *at = c;
        } else {
            cameras.insert(at, c);
        }
    });
    HttpReply reply = lines("result=ok\r\navdevid=" + std::to_string(c.slot) + "\r\n");
    reply.note = "slot " + std::to_string(c.slot) + " " + c.host;
    return reply;
}

HttpReply RecorderHttp::deleteCamera(const HttpRequest& request)
{
    int slot = 0;
    if (!number(request.arg("avdevid"), 0, slots - 1, slot)) {
        return bad("avdevid");
    }
    bool removed = false;
    state.update([&](SimState& s) {
        auto& cameras = s.recorder(name)->cameras;
        for (auto it = cameras.begin(); it != cameras.end(); ++it) {
            if (it->slot == slot) {
                cameras.erase(it);
                removed = true;
                break;
            }
        }
    });
    HttpReply reply = lines(removed ? "result=ok\r\n" : "result=fail\r\nreason=empty channel\r\n");
    reply.note = "slot " + std::to_string(slot) + (removed ? " removed" : " empty");
    return reply;
}

HttpReply RecorderHttp::cameraDiscovery()
{
    // online;address;MAC;brand;model;account;password;extra;protocol type -- the cameras added to the
    // recorder first, in channel order, then the others it sees on its network.
    std::string body;
    state.read([&](const SimState& s) {
        const RecorderState& r = *s.recorder(name);
        std::vector<std::string> listedMacs;
        for (const auto& c : r.cameras) {
            body += "1;" + lineField(c.host) + ";" + lineField(c.hostId) + ";" + lineField(c.brand) + ";"
                + lineField(c.product) + ";" + lineField(c.account) + ";" + lineField(c.password) + ";ch"
                + std::to_string(c.slot + 1) + ";" + std::to_string(c.protocolType) + "\r\n";
            listedMacs.push_back(c.hostId);
        }
        for (const auto& seen : r.setup.sees) {
            const CameraState* c = s.camera(seen);
            if (c == nullptr) {
                continue;
            }
            std::string mac = Scenario::macText(c->setup.mac);
            bool listed = false;
            for (const auto& m : listedMacs) {
                listed = listed || m == mac;
            }
            if (listed) {
                continue;
            }
            const std::string address = c->listedAddress.empty() ? hostText(c->setup) : c->listedAddress;
            body += "0;" + address + ";" + mac + ";" + c->setup.brand + ";" + c->setup.model + ";"
                + (c->setup.listAccount ? "admin" : "") + ";" + c->setup.listPassword + ";;"
                + std::to_string(c->setup.protocolType) + "\r\n";
        }
        for (const auto& line : r.extraCameraLines) {
            body += line + "\r\n";
        }
    });
    return lines(body);
}

HttpReply RecorderHttp::cloudRegStatus(const HttpRequest& request)
{
    int status = 0;
    if (request.arg("status") && !number(request.arg("status"), 0, 9, status)) {
        return bad("status");
    }
    state.update([&](SimState& s) {
        RecorderState& r = *s.recorder(name);
        if (request.arg("status")) {
            r.cloudStatus = status;
        }
        status = r.cloudStatus;
    });
    return lines("status=" + std::to_string(status) + "\r\n");
}

HttpReply RecorderHttp::cloudPortal()
{
    std::string body;
    state.read([&](const SimState& s) {
        const RecorderState& r = *s.recorder(name);
        std::string host = r.setup.portalHost.empty() ? s.portalHost : r.setup.portalHost;
        body = "status=" + std::to_string(r.cloudStatus) + "\r\n";
        body += "access=" + std::to_string(r.setup.cloudAccess) + "\r\n";
        body += "portal_url=" + host + "\r\n";
        body += "portal_number=" + r.setup.portalNumber + "\r\n";
        body += "portal_dfp=" + r.setup.portalDfp + "\r\n";
        body += "model=" + r.setup.model + "\r\n";
        body += "localhyperlink=http://" + Scenario::ipText(r.setup.ip)
            + (r.setup.webPort != 80 ? ":" + std::to_string(r.setup.webPort) : "") + "/\r\n";
    });
    return lines(body);
}

HttpReply RecorderHttp::cloudRegInfo(const HttpRequest& request)
{
    int status = 0;
    if (request.arg("status") && !number(request.arg("status"), 0, 9, status)) {
        return bad("status");
    }
    std::string body;
    state.update([&](SimState& s) {
        RecorderState& r = *s.recorder(name);
        if (auto email = request.arg("email")) {
            r.cloudEmail = *email;
        }
        if (auto password = request.arg("password")) {
            r.cloudPassword = *password;
        }
        if (request.arg("status")) {
            r.cloudStatus = status;
        }
        body = "status=" + std::to_string(r.cloudStatus) + "\r\nemail=" + r.cloudEmail
            + "\r\npassword=" + r.cloudPassword + "\r\n";
    });
    return lines(body);
}
