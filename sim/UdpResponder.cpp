// Search answers and login / set-password replies on UDP port 62976.
#include "UdpResponder.h"

#include "SimBase64.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Datagram header, 22 bytes, little-endian:
//   0 magic FD FD | 2 sequence | 4 command | 6 MAC[6] | 12 IPv4[4] | 16 status | 18 request mark | 20 payload length
constexpr size_t headerSize = 22;
constexpr uint16_t cmdSearch = 0x00A1;
constexpr uint16_t cmdLogin = 0x00A3;
constexpr uint16_t cmdSetPassword = 0x00A4;
constexpr size_t fieldWidth = 64;

// Search answer, 336 bytes: header | 128 unused | 150 model[70] | 220 MAC[6] | 226 extra text[64] |
// 290 IPv4[4] | 294 web port (16-bit) | 296 40 unused
constexpr size_t answerSize = 336;
constexpr size_t modelOffset = 150;
constexpr size_t modelWidth = 70;
constexpr size_t macOffset = 220;
constexpr size_t extraOffset = 226;
constexpr size_t extraWidth = 64;
constexpr size_t ipOffset = 290;
constexpr size_t portOffset = 294;

uint16_t get16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void putText(std::vector<uint8_t>& b, size_t at, size_t width, const std::string& text)
{
    // Always NUL-ended inside its width.
    size_t n = std::min(text.size(), width - 1);
    std::memcpy(b.data() + at, text.data(), n);
}

std::vector<uint8_t> header(
    uint16_t sequence, uint16_t command, const Mac& mac, const Ipv4& ip, uint16_t status, uint16_t payload)
{
    std::vector<uint8_t> b(headerSize + payload, 0);
    b[0] = 0xFD;
    b[1] = 0xFD;
    put16(b, 2, sequence);
    put16(b, 4, command);
    std::copy(mac.begin(), mac.end(), b.begin() + 6);
    std::copy(ip.begin(), ip.end(), b.begin() + 12);
    put16(b, 16, status);
    put16(b, 18, 0);
    put16(b, 20, payload);
    return b;
}

std::string peerText(const sockaddr_in& peer)
{
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(peer.sin_port));
}

std::string printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

UdpResponder::UdpResponder(SimState& state)
    : state(state)
{
    state.read([this](const SimState& s) {
        for (const auto& r : s.recorders) {
            Identity d;
            d.name = r.setup.name;
            d.isRecorder = true;
            d.model = r.setup.model;
            d.extra = r.setup.extra;
            d.mac = r.setup.mac;
            d.ip = r.setup.ip;
            d.announcedIp = r.setup.searchIp == Ipv4 {} ? r.setup.ip : r.setup.searchIp;
            d.webPort = static_cast<uint16_t>(r.setup.webPort);
            d.faults = r.setup.faults;
            devices.push_back(d);
        }
        for (const auto& c : s.cameras) {
            Identity d;
            d.name = c.setup.name;
            d.model = c.setup.model;
            d.extra = "IPCAM " + c.setup.brand;
            d.mac = c.setup.mac;
            d.ip = c.setup.ip;
            d.announcedIp = c.setup.ip;
            d.webPort = static_cast<uint16_t>(c.setup.port);
            d.answersSearch = c.setup.answersSearch;
            d.answersCommands = c.setup.protocolType == 0;
            d.faults = c.setup.faults;
            devices.push_back(d);
        }
    });
}

UdpResponder::~UdpResponder()
{
    stop();
}

bool UdpResponder::start(std::string& error)
{
    sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        error = std::string("UDP socket: ") + std::strerror(errno);
        return false;
    }
    int one = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ::setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    ::setsockopt(sock, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    sockaddr_in any {};
    any.sin_family = AF_INET;
    any.sin_port = htons(port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(sock, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
        error = std::string("UDP bind 0.0.0.0:62976: ") + std::strerror(errno);
        ::close(sock);
        sock = -1;
        return false;
    }
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    running = true;
    thread = std::thread([this] { run(); });
    return true;
}

void UdpResponder::stop()
{
    if (running.exchange(false)) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
        thread.join();
    }
    if (sock >= 0) {
        ::close(sock);
        sock = -1;
    }
    if (wakeFd >= 0) {
        ::close(wakeFd);
        wakeFd = -1;
    }
}

int UdpResponder::msUntilNextPending() const
{
    if (pending.empty()) {
        return -1;
    }
    auto now = std::chrono::steady_clock::now();
    auto next = std::min_element(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        return a.due < b.due;
    })->due;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
    return ms < 0 ? 0 : static_cast<int>(ms) + 1;
}

void UdpResponder::run()
{
    std::vector<uint8_t> buffer(65536);
    while (running) {
        pollfd fds[2] = { { sock, POLLIN, 0 }, { wakeFd, POLLIN, 0 } };
        int ready = ::poll(fds, 2, msUntilNextPending());
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (!running) {
            break;
        }
        // Late answers whose time has come.
        auto now = std::chrono::steady_clock::now();
        for (size_t i = 0; i < pending.size();) {
            if (pending[i].due <= now) {
                sendNow(pending[i]);
                pending.erase(pending.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            sockaddr_in peer {};
            socklen_t peerLength = sizeof peer;
            ssize_t n = ::recvfrom(
                sock, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&peer), &peerLength);
            if (n >= 0) {
                handle(buffer.data(), static_cast<size_t>(n), peer);
            }
        }
    }
}

void UdpResponder::handle(const uint8_t* data, size_t size, const sockaddr_in& peer)
{
    if (size < headerSize || data[0] != 0xFD || data[1] != 0xFD) {
        state.record({ 0, "*", "udp-unknown", peerText(peer), std::to_string(size) + " bytes", "ignored" });
        return;
    }
    uint16_t command = get16(data + 4);
    if (command == cmdSearch) {
        answerSearch(data, size, peer);
    } else if (command == cmdLogin || command == cmdSetPassword) {
        answerCommand(data, size, peer);
    } else {
        char detail[48];
        std::snprintf(detail, sizeof detail, "command 0x%04x, %zu bytes", command, size);
        state.record({ 0, "*", "udp-unknown", peerText(peer), detail, "ignored" });
    }
}

void UdpResponder::answerSearch(const uint8_t* request, size_t, const sockaddr_in& peer)
{
    uint16_t sequence = get16(request + 2);
    std::string answered;
    for (const auto& device : devices) {
        if (!device.answersSearch) {
            continue;
        }
        const FaultSet faults = faultsFor(device, "search");
        auto answer = header(sequence, cmdSearch, device.mac, device.announcedIp, 0, answerSize - headerSize);
        std::string model = device.model;
        if (faults.has("udp-other-model", "search")) {
            model = device.isRecorder ? "HXT-908Q" : "QC-100";
        }
        putText(answer, modelOffset, modelWidth, model);
        std::copy(device.mac.begin(), device.mac.end(), answer.begin() + macOffset);
        putText(answer, extraOffset, extraWidth, device.extra);
        if (!faults.has("udp-zero-ip", "search")) {
            std::copy(device.announcedIp.begin(), device.announcedIp.end(), answer.begin() + ipOffset);
        }
        put16(answer, portOffset, device.webPort);
        std::string note = deliver(device, faults, "search", std::move(answer), peer);
        answered += (answered.empty() ? "" : ",") + device.name + (note.empty() ? "" : "(" + note + ")");
    }
    state.record({ 0, "*", "udp-search", peerText(peer), "", answered });
}

void UdpResponder::answerCommand(const uint8_t* request, size_t size, const sockaddr_in& peer)
{
    uint16_t sequence = get16(request + 2);
    uint16_t command = get16(request + 4);
    Mac mac;
    Ipv4 ip;
    std::copy(request + 6, request + 12, mac.begin());
    std::copy(request + 12, request + 16, ip.begin());
    const std::string kind = command == cmdLogin ? "login" : "setpassword";
    const std::string eventKind = "udp-" + kind;

    const Identity* device = nullptr;
    for (const auto& d : devices) {
        if (d.answersCommands && d.mac == mac && d.ip == ip) {
            device = &d;
            break;
        }
    }
    if (device == nullptr) {
        state.record({ 0, "*", eventKind, peerText(peer), "to " + Scenario::macText(mac) + " " + Scenario::ipText(ip),
            "no such device" });
        return;
    }

    const FaultSet faults = faultsFor(*device, kind);
    size_t fields = command == cmdLogin ? 2 : 4;
    uint16_t payload = get16(request + 20);
    if (size < headerSize + fields * fieldWidth || payload < fields * fieldWidth) {
        auto reply = header(sequence, command, device->mac, device->ip, 3, 0);
        std::string note = deliver(*device, faults, kind, std::move(reply), peer);
        state.record({ 0, device->name, eventKind, peerText(peer), std::to_string(size) + " bytes: too short",
            "status 3" + (note.empty() ? "" : " " + note) });
        return;
    }
    std::vector<std::optional<std::string>> values;
    for (size_t i = 0; i < fields; ++i) {
        values.push_back(SimBase64::decodeField(request + headerSize + i * fieldWidth, fieldWidth));
    }
    bool decoded = std::all_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); });
    auto field = [&](size_t i) { return values[i] ? printable(*values[i]) : std::string("<bad base64>"); };

    if (command == cmdLogin) {
        int result = 0;
        std::string current;
        state.read([&](const SimState& s) {
            current = device->isRecorder ? s.recorder(device->name)->password : s.camera(device->name)->password;
        });
        if (decoded && *values[0] == "admin" && *values[1] == current) {
            result = 1;
        }
        auto reply = header(sequence, cmdLogin, device->mac, device->ip, 0, 4);
        reply[22] = static_cast<uint8_t>(result);
        std::string note = deliver(*device, faults, kind, std::move(reply), peer);
        state.record({ 0, device->name, eventKind, peerText(peer), "user=" + field(0) + " password=" + field(1),
            "result " + std::to_string(result) + (note.empty() ? "" : " " + note) });
        return;
    }

    // Set password: user, current password, user, new password.
    uint16_t status = 1;
    state.update([&](SimState& s) {
        std::string& current
            = device->isRecorder ? s.recorder(device->name)->password : s.camera(device->name)->password;
        int& changes
            = device->isRecorder ? s.recorder(device->name)->passwordChanges : s.camera(device->name)->passwordChanges;
        if (!decoded) {
            status = 2;
        } else if (*values[0] != "admin" || *values[2] != "admin" || *values[1] != current) {
            status = 1;
        } else if (values[3]->empty() || values[3]->size() > 31) {
            status = 4;
        } else if (!faults.has("udp-status", kind)) {
            current = *values[3];
            ++changes;
            status = 0;
        }
    });
    auto reply = header(sequence, cmdSetPassword, device->mac, device->ip, status, 0);
    std::string note = deliver(*device, faults, kind, std::move(reply), peer);
    state.record({ 0, device->name, eventKind, peerText(peer),
        "user=" + field(0) + " old=" + field(1) + " user2=" + field(2) + " new=" + field(3),
        "status " + std::to_string(status) + (note.empty() ? "" : " " + note) });
}

FaultSet UdpResponder::faultsFor(const Identity& device, const std::string& kind)
{
    FaultSet faults = device.faults;
    bool live = false;
    state.read([&](const SimState& s) { live = !s.liveFaults.empty(); });
    if (!live) {
        return faults;
    }
    state.update([&](SimState& s) {
        for (auto it = s.liveFaults.begin(); it != s.liveFaults.end();) {
            const bool mine = it->device == "*" || it->device == device.name;
            if (mine && (it->fault.scope.empty() || it->fault.scope == kind)) {
                faults.add(it->fault);
                if (it->remaining > 0 && --it->remaining == 0) {
                    it = s.liveFaults.erase(it);
                    continue;
                }
            }
            ++it;
        }
    });
    return faults;
}

std::string UdpResponder::deliver(const Identity& device, const FaultSet& f, const std::string& kind,
    std::vector<uint8_t> answer, const sockaddr_in& peer)
{
    if (f.has("udp-silent", kind)) {
        return "silent";
    }
    std::string note;
    if (auto status = f.find("udp-status", kind)) {
        put16(answer, 16, static_cast<uint16_t>(status->hasValue && status->value > 0 ? status->value : 1));
        note += "status";
    }
    if (f.has("udp-seq-zero", kind)) {
        put16(answer, 2, 0); // a recorder that does not echo the sequence
        note += "seq0";
    }
    if (f.has("udp-garbage", kind)) {
        size_t length = 1 + noise % 600;
        answer.resize(length);
        for (auto& b : answer) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            b = static_cast<uint8_t>(noise);
        }
        note += "garbage";
    }
    if (f.has("udp-yesno", kind)) {
        const char* yesno = "yesno";
        std::copy(yesno, yesno + 5, answer.begin());
        note += "yesno";
    }
    if (auto shortFault = f.find("udp-short", kind)) {
        size_t length = shortFault->hasValue ? static_cast<size_t>(shortFault->value) : 200;
        answer.resize(std::min(answer.size(), length));
        note += "short";
    }
    if (f.has("udp-400", kind)) {
        answer.resize(400, 0x5A);
        note += "400";
    }
    if (f.has("udp-1500", kind)) {
        answer.resize(1500, 0x5A);
        note += "1500";
    }
    Pending datagram;
    datagram.due = std::chrono::steady_clock::now();
    datagram.to = peer;
    datagram.from = device.ip;
    datagram.bytes = std::move(answer);
    if (auto late = f.find("udp-late", kind)) {
        long ms = late->hasValue ? late->value : 7000;
        datagram.due += std::chrono::milliseconds(ms);
        pending.push_back(std::move(datagram));
        return note + (note.empty() ? "" : " ") + "late " + std::to_string(ms) + " ms";
    }
    sendNow(datagram);
    return note;
}

void UdpResponder::sendNow(const Pending& datagram)
{
    // Answer from the device's own address (IP_PKTINFO), unicast to the asker.
    iovec io { const_cast<uint8_t*>(datagram.bytes.data()), datagram.bytes.size() };
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message {};
    message.msg_name = const_cast<sockaddr_in*>(&datagram.to);
    message.msg_namelen = sizeof datagram.to;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info {};
    std::memcpy(&info.ipi_spec_dst, datagram.from.data(), 4);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    if (::sendmsg(sock, &message, 0) < 0) {
        // The device address is not local here: answer from whatever address the system picks.
        ::sendto(sock, datagram.bytes.data(), datagram.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&datagram.to),
            sizeof datagram.to);
    }
}
