#include "session/StorageWatch.h"

#include "device/AnswerParser.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "net/HttpGet.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <vector>

namespace {

// The item at index of a ","-separated list, or nothing.
std::string ListItem(const std::string& list, size_t index)
{
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        const size_t comma = list.find(',', start);
        if (i == index)
            return list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (comma == std::string::npos)
            return std::string();
        start = comma + 1;
    }
}

// The bytes in one unit of a size, or 0 for a unit this program does not know. Decimal units are powers of
// 1000 and binary ones of 1024, as their names say.
int64_t UnitBytes(std::string_view unit)
{
    static const struct
    {
        const char* name;
        int64_t bytes;
    } units[] = { { "b", 1 }, { "byte", 1 }, { "bytes", 1 }, { "kb", 1000LL }, { "mb", 1000000LL },
        { "gb", 1000000000LL }, { "tb", 1000000000000LL }, { "kib", 1LL << 10 }, { "mib", 1LL << 20 },
        { "gib", 1LL << 30 }, { "tib", 1LL << 40 } };
    std::string lower(unit);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    for (const auto& known : units) {
        if (lower == known.name)
            return known.bytes;
    }
    return 0;
}

} // namespace

int64_t StorageWatch::SizeInBytes(std::string_view text)
{
    // digits ["." digits] [" "] unit, e.g. "953869 MB", "931.5GiB", "1000204886016 bytes"
    size_t at = 0;
    int64_t whole = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (at >= 15) // beyond any disk: a number that large is not believed
            return 0;
        whole = whole * 10 + (text[at] - '0');
    }
    if (at == 0)
        return 0;
    int64_t fraction = 0;
    int64_t fractionScale = 1;
    if (at < text.size() && text[at] == '.') {
        ++at;
        for (int digits = 0; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
            if (digits < 3) { // a thousandth of a unit is finer than any size shown
                fraction = fraction * 10 + (text[at] - '0');
                fractionScale *= 10;
            }
        }
    }
    if (at < text.size() && text[at] == ' ')
        ++at;
    // No unit, no size: recorders differ in what a bare number counts (bytes on some, megabytes on others).
    const int64_t unit = UnitBytes(text.substr(at));
    if (unit == 0)
        return 0;
    const long double bytes = (static_cast<long double>(whole) + static_cast<long double>(fraction) / fractionScale)
        * static_cast<long double>(unit);
    if (bytes < 1 || bytes > 1e18L)
        return 0;
    return static_cast<int64_t>(bytes);
}

StorageWatch::StorageWatch(SearchDevice& searchDevice, NvrClient& nvrClient, std::function<void()> onChanged)
    : search(searchDevice)
    , client(nvrClient)
    , changed(std::move(onChanged))
{
}

StorageWatch::~StorageWatch()
{
    Stop();
}

void StorageWatch::Start(const std::string& nvrIp, const std::string& nvrMac, const std::string& nvrUser,
    const std::string& nvrPassword, uint16_t webPort)
{
    Stop();
    thread.Start(
        [this, nvrIp, nvrMac, nvrUser, nvrPassword, webPort] { run(nvrIp, nvrMac, nvrUser, nvrPassword, webPort); });
}

void StorageWatch::Stop()
{
    thread.Stop(kStopLimitMs, [this] { closeRequest(); });
}

void StorageWatch::closeRequest()
{
    std::lock_guard<std::mutex> guard(requestLock);
    if (request != nullptr)
        request->Close();
}

void StorageWatch::ReadAnswer(const std::string& answer, int32_t& plugValue, int32_t& readyValue, int32_t& fsValue)
{
    AnswerParser parser(answer);
    parser.SplitPairs("\r\n");
    const std::string partitionInfo = parser.Value("partitioninfo" + parser.Value("usedpartition"));
    const std::string code = ListItem(partitionInfo, 5);
    if (code.size() == 1 && code[0] >= '0' && code[0] <= '5')
        fsValue = code[0] - '0';
    plugValue = parser.Value("plug") == "1" ? 1 : 0;
    readyValue = parser.Value("ready") == "1" ? 1 : 0;
}

bool StorageWatch::AnswerReadable(const std::string& answer)
{
    AnswerParser parser(answer);
    parser.SplitPairs("\r\n");
    const std::string plug = parser.Value("plug");
    return plug == "0" || plug == "1";
}

StorageWatch::DiskDescription StorageWatch::ReadDescription(const std::string& answer)
{
    AnswerParser parser(answer);
    parser.SplitPairs("\r\n");
    DiskDescription description;
    if (parser.Value("plug") != "1")
        return description;
    std::string name = parser.Value("modelname");
    if (name.empty())
        name = parser.Value("devicename");
    const std::u16string wide = Utf8ToUtf16(name);
    description.name = Utf16ToUtf8(std::u16string_view(wide).substr(0, DiskDescription::kMaxNameChars));
    // capacity=<number> <unit>: the only size read, and only when it names its unit. The partition lines' sizes
    // are never used: their unit differs between recorders.
    description.capacityBytes = SizeInBytes(parser.Value("capacity"));
    return description;
}

StorageWatch::DiskDescription StorageWatch::Describe(int port) const
{
    if (port < 0 || port > 1)
        return {};
    std::lock_guard<std::mutex> guard(descriptionLock);
    return descriptions[port];
}

void StorageWatch::pollPort(
    int port, const std::string& ip, const std::string& user, const std::string& password, uint16_t webPort)
{
    HttpGet http;
    {
        std::lock_guard<std::mutex> guard(requestLock);
        request = &http;
    }
    bool fetched = false;
    std::vector<char> buffer(kAnswerBufferSize, 0);
    size_t size = buffer.size();
    if (thread.running()
        && http.Open(ip, user, password, kRequestTimeoutMs, 0, webPort, HttpGet::CertificateCheck::Relaxed)) {
        const std::string path = "/config/storageinfo?storageid=" + std::to_string(port);
        int status = 0;
        fetched = thread.running() && http.GetAuthorised(path, buffer.data(), &size) && http.QueryStatusCode(status)
            && status >= 200 && status <= 299; // an error page is no storage information
    }
    DiskDescription description;
    if (fetched)
        description = ReadDescription(std::string(buffer.data(), size));
    {
        std::lock_guard<std::mutex> guard(descriptionLock);
        descriptions[port] = description;
    }
    unreadable[port].store(fetched && AnswerReadable(std::string(buffer.data(), size)) ? 0 : 1);
    if (!fetched) {
        plugged[port].store(0);
        ready[port].store(0);
    } else {
        int32_t plugValue = 0;
        int32_t readyValue = 0;
        int32_t fsValue = fsCode[port].load();
        ReadAnswer(std::string(buffer.data(), size), plugValue, readyValue, fsValue);
        fsCode[port].store(fsValue);
        plugged[port].store(plugValue);
        ready[port].store(readyValue);
    }
    thread.Sleep(50);
    {
        std::lock_guard<std::mutex> guard(requestLock);
        request = nullptr;
    }
    http.Close();
}

void StorageWatch::run(
    const std::string& ip, const std::string& mac, const std::string& user, const std::string& password, uint16_t port)
{
    const uint16_t webPort = port != 0 ? port : search.WebPort(search.FindByMac(mac));
    client.Stop();
    for (int i = 0; i < 2; ++i) {
        plugged[i].store(0);
        ready[i].store(0);
        fsCode[i].store(0);
        unreadable[i].store(0);
    }
    {
        std::lock_guard<std::mutex> guard(descriptionLock);
        descriptions[0] = descriptions[1] = DiskDescription();
    }
    bool firstCycle = true;
    while (thread.running()) {
        const int32_t before[6] = { ready[0].load(), ready[1].load(), plugged[0].load(), plugged[1].load(),
            unreadable[0].load(), unreadable[1].load() };
        pollPort(0, ip, user, password, webPort);
        if (thread.running())
            pollPort(1, ip, user, password, webPort);
        const int32_t after[6] = { ready[0].load(), ready[1].load(), plugged[0].load(), plugged[1].load(),
            unreadable[0].load(), unreadable[1].load() };
        bool differs = false;
        for (int i = 0; i < 6; ++i)
            differs = differs || before[i] != after[i];
        if ((differs || firstCycle) && thread.running()) {
            firstCycle = false;
            if (changed)
                changed();
        }
        if (!thread.Sleep(kCycleMs))
            break;
    }
}
