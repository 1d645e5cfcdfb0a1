#include "SearchDevice.h"

#include "discovery/DatagramHeader.h"
#include "platform/LocalInterfaces.h"
#include "platform/WaitTimeline.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

int64_t steadyMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t found = text.find(separator, start);
        if (found == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, found - start));
        start = found + 1;
    }
}

// Decimal text to its low 8 bits, read as atoi reads it (leading blanks, an optional sign, digits up to
// the first other character), without atoi's overflow for long digit runs.
uint8_t lowByteOfDecimal(const std::string& piece)
{
    size_t at = 0;
    while (at < piece.size() && (piece[at] == ' ' || (piece[at] >= '\t' && piece[at] <= '\r'))) {
        ++at;
    }
    bool negative = false;
    if (at < piece.size() && (piece[at] == '+' || piece[at] == '-')) {
        negative = piece[at] == '-';
        ++at;
    }
    unsigned value = 0;
    for (; at < piece.size() && piece[at] >= '0' && piece[at] <= '9'; ++at) {
        value = (value * 10 + static_cast<unsigned>(piece[at] - '0')) & 0xFF;
    }
    return static_cast<uint8_t>(negative ? (256 - value) & 0xFF : value);
}

} // namespace

SearchDevice::SearchDevice()
    : targetPort(kRecorderPort)
{
}

SearchDevice::~SearchDevice()
{
    timer.Cancel();
    std::lock_guard<std::mutex> guard(startLock);
    closeEndpoints();
}

void SearchDevice::SetSearchTarget(const std::string& address, uint16_t port)
{
    std::lock_guard<std::mutex> guard(startLock);
    targetAddress = address;
    targetPort = port;
}

void SearchDevice::SetAddressSource(std::function<std::vector<std::string>()> source)
{
    std::lock_guard<std::mutex> guard(startLock);
    addressSource = std::move(source);
}

void SearchDevice::SetSearchWindow(uint32_t milliseconds)
{
    std::lock_guard<std::mutex> guard(startLock);
    searchWindow = milliseconds;
}

int32_t SearchDevice::Start()
{
    std::lock_guard<std::mutex> guard(startLock);
    // A search still pending ends here, before its endpoints and queues go: its time-out can then neither
    // collect from the new queues nor end the new search early.
    timer.Cancel();

    const auto request = DatagramHeader::SearchRequest().Bytes();
    // Every search gets the full window, whatever an earlier one was changed to.
    searchTime = searchWindow;
    closeEndpoints();
    {
        std::lock_guard<std::mutex> arrivalsGuard(arrivalsLock);
        arrivals.clear();
        malformedCount = 0;
        repeatCount = 0;
        overCapCount = 0;
    }
    rebuildEndpoints();
    datagramsQueued.store(0);
    lastDatagramUs.store(-1);
    requestSentUs.store(steadyMicroseconds());
    state.store(Searching);
    for (auto& endpoint : endpoints) {
        if (!endpoint->Send(request.data(), request.size(), targetAddress.c_str(), targetPort)) {
            state.store(SearchFailed);
            return SearchFailed;
        }
    }
    WaitTimeline::Note("search window", searchTime);
    timer.Start(std::chrono::milliseconds(searchTime), false, [this] { timeout(); });
    return Searching;
}

void SearchDevice::closeEndpoints()
{
    // Closing joins the receive threads, so no callback still pushes into a queue freed below.
    for (auto& endpoint : endpoints) {
        endpoint->Close();
    }
    endpoints.clear();
    queues.clear();
    endpointCount.store(0);
}

void SearchDevice::rebuildEndpoints()
{
    closeEndpoints();
    std::vector<std::string> addresses;
    if (addressSource) {
        addresses = addressSource();
    } else {
        for (const auto& local : LocalIpv4Interfaces()) {
            addresses.push_back(local.address);
        }
    }
    // Queues first: a receive thread may deliver as soon as its endpoint is open.
    for (size_t i = 0; i < addresses.size(); ++i) {
        queues.push_back(std::make_unique<DatagramQueue>());
    }
    for (size_t i = 0; i < addresses.size(); ++i) {
        endpoints.push_back(std::make_unique<UdpEndpoint>(static_cast<int32_t>(i), &SearchDevice::onReceive, this));
        if (!endpoints.back()->Open(addresses[i].c_str())) {
            closeEndpoints();
            return;
        }
    }
    endpointCount.store(static_cast<int32_t>(endpoints.size()));
}

void SearchDevice::onReceive(UdpEndpoint* endpoint, void* owner, const Ipv4Endpoint*, const uint8_t* data, size_t length)
{
    auto* self = static_cast<SearchDevice*>(owner);
    if (self->state.load() != Searching) {
        return;
    }
    // The queues are built before any endpoint opens and freed only after every receive thread ended.
    const auto index = static_cast<size_t>(endpoint->index);
    if (index >= self->queues.size()) {
        return;
    }
    {
        // Early, before anything is queued: what cannot be an answer, what this interface already brought, and
        // anything past the search's cap. Only what is kept is remembered, so this stays bounded too.
        std::lock_guard<std::mutex> guard(self->arrivalsLock);
        if (!IsSearchAnswer(data, length)) {
            ++self->malformedCount;
            return;
        }
        std::string key(reinterpret_cast<const char*>(data), std::min(length, DeviceRecord::kAnswerSize));
        key.append(reinterpret_cast<const char*>(&endpoint->index), sizeof endpoint->index);
        if (self->arrivals.count(key) != 0) {
            ++self->repeatCount;
            return;
        }
        if (self->arrivals.size() >= kMaxAnswersPerSearch) {
            ++self->overCapCount;
            return;
        }
        self->arrivals.insert(std::move(key));
    }
    self->queues[index]->Push(data, length);
    self->datagramsQueued.fetch_add(1);
    self->lastDatagramUs.store(steadyMicroseconds());
}

std::vector<DeviceRecord> SearchDevice::Collect(std::vector<std::unique_ptr<DatagramQueue>>& queues)
{
    // The count taken now fixes the collection: datagrams queued while it runs stay in their queue.
    std::vector<size_t> counts;
    size_t total = 0;
    for (auto& queue : queues) {
        counts.push_back(queue->Count());
        total += counts.back();
    }
    std::vector<DeviceRecord> collected;
    collected.reserve(total);
    // Address and MAC of every record so far: a repeat is found without comparing it with each earlier one.
    std::unordered_set<std::string> devices;
    devices.reserve(total);
    for (size_t i = 0; i < queues.size(); ++i) {
        for (size_t n = 0; n < counts[i]; ++n) {
            auto buffer = queues[i]->PopFront();
            if (!buffer) {
                break;
            }
            DeviceRecord record = DeviceRecord::FromDatagram(buffer->data(), buffer->size(), static_cast<int32_t>(i));
            std::string device(reinterpret_cast<const char*>(record.answer.data() + DeviceRecord::kIpv4Offset), 4);
            device.append(reinterpret_cast<const char*>(record.answer.data() + DeviceRecord::kMacOffset), 6);
            if (!devices.insert(std::move(device)).second) {
                record.unique = 0;
            }
            collected.push_back(record);
        }
    }
    return collected;
}

void SearchDevice::timeout()
{
    timer.Cancel(); // from the handler: marks only
    // The endpoints and queues cannot change under the collection: Start cancels (and waits for) this
    // handler before it rebuilds them.
    std::vector<DeviceRecord> collected = Collect(queues);
    Figures latest;
    latest.datagrams = datagramsQueued.load();
    {
        std::lock_guard<std::mutex> guard(arrivalsLock);
        latest.malformed = malformedCount;
        latest.repeats = repeatCount;
        latest.overCap = overCapCount;
    }
    const int64_t last = lastDatagramUs.load();
    latest.lastDatagramMs = last < 0 ? -1 : (last - requestSentUs.load()) / 1000;
    for (const auto& endpoint : endpoints) {
        latest.dropped += endpoint->DroppedDatagrams();
        const int32_t granted = endpoint->ReceiveBufferBytes();
        latest.receiveBufferBytes
            = latest.receiveBufferBytes == 0 ? granted : std::min(latest.receiveBufferBytes, granted);
    }
    {
        std::lock_guard<std::mutex> guard(recordsLock);
        records = std::move(collected);
        figures = latest;
        recordCount.store(static_cast<int32_t>(records.size()));
    }
    state.store(SearchDone);
}

std::optional<DeviceRecord> SearchDevice::Record(int32_t index) const
{
    std::lock_guard<std::mutex> guard(recordsLock);
    if (index < 0 || static_cast<size_t>(index) >= records.size()) {
        return std::nullopt;
    }
    return records[static_cast<size_t>(index)];
}

std::string SearchDevice::MacText(int32_t index) const
{
    const auto record = Record(index);
    return record ? record->MacText() : std::string();
}

std::string SearchDevice::IpText(int32_t index) const
{
    const auto record = Record(index);
    return record ? record->IpText() : std::string();
}

std::string SearchDevice::ModelText(int32_t index) const
{
    const auto record = Record(index);
    return record ? record->ModelText() : std::string();
}

std::string SearchDevice::ExtraText(int32_t index) const
{
    const auto record = Record(index);
    return record ? record->ExtraText() : std::string();
}

uint16_t SearchDevice::WebPort(int32_t index) const
{
    const auto record = Record(index);
    return record ? record->WebPort() : 0;
}

int32_t SearchDevice::FindByMac(const std::string& macText) const
{
    std::lock_guard<std::mutex> guard(recordsLock);
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].unique == 1 && records[i].MacText() == macText) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t SearchDevice::InterfaceForIp(const std::string& ipText) const
{
    std::lock_guard<std::mutex> guard(recordsLock);
    for (const auto& record : records) {
        if (record.unique == 1 && record.IpText() == ipText) {
            return record.interfaceIndex;
        }
    }
    return -1;
}

std::string SearchDevice::LocalAddress(int32_t interfaceIndex) const
{
    std::lock_guard<std::mutex> guard(startLock);
    if (interfaceIndex < 0 || static_cast<size_t>(interfaceIndex) >= endpoints.size()) {
        return std::string();
    }
    return endpoints[static_cast<size_t>(interfaceIndex)]->localAddress;
}

int32_t SearchDevice::EndpointCount() const
{
    return endpointCount.load();
}

SearchDevice::Figures SearchDevice::LastFigures() const
{
    std::lock_guard<std::mutex> guard(recordsLock);
    return figures;
}

bool SearchDevice::IsSearchAnswer(const uint8_t* data, size_t length)
{
    // Header: magic FD FD at 0, command at 4 (16-bit little-endian).
    return length >= kMinAnswerSize && data[0] == 0xFD && data[1] == 0xFD
        && ReadLe16(data, length, 4) == kCommandSearch;
}

bool SearchDevice::ParseIpText(const std::string& text, std::array<uint8_t, 4>& out)
{
    // Format: a.b.c.d, each piece decimal; a trailing "." adds no piece.
    std::vector<std::string> pieces = splitAt(text, '.');
    if (!pieces.empty() && pieces.back().empty()) {
        pieces.pop_back();
    }
    if (pieces.size() != 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        out[i] = lowByteOfDecimal(pieces[i]);
    }
    return true;
}

bool SearchDevice::ParseMacText(const std::string& text, std::array<uint8_t, 6>& out)
{
    // Format: six ":"-separated pieces of lower-case hexadecimal digits; other characters are skipped.
    static const std::string digits = "0123456789abcdef";
    const std::vector<std::string> pieces = splitAt(text, ':');
    if (pieces.size() != 6) {
        return false;
    }
    for (size_t i = 0; i < 6; ++i) {
        unsigned value = 0;
        for (char c : pieces[i]) {
            const size_t position = c == '\0' ? std::string::npos : digits.find(c);
            if (position != std::string::npos) {
                value = (value * 16 + static_cast<unsigned>(position)) & 0xFF;
            }
        }
        out[i] = static_cast<uint8_t>(value);
    }
    return true;
}
