// The control pipe.
#include "ControlChannel.h"

#include "SimState.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

ControlChannel::ControlChannel(SimState& state)
    : state(state)
{
}

ControlChannel::~ControlChannel()
{
    stop();
}

bool ControlChannel::start(const std::string& pipePath, std::string& error)
{
    path = pipePath;
    ::unlink(path.c_str());
    // The owner's only: a line on the pipe changes passwords, faults and answers.
    if (::mkfifo(path.c_str(), 0600) != 0) {
        error = "control pipe " + path + ": " + std::strerror(errno);
        return false;
    }
    // Read and write: the pipe stays open between writers, and opening does not wait for one.
    fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0 || wakeFd < 0) {
        error = "control pipe " + path + ": " + std::strerror(errno);
        return false;
    }
    running = true;
    thread = std::thread([this] { loop(); });
    return true;
}

void ControlChannel::stop()
{
    if (running.exchange(false)) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
        thread.join();
    }
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
        ::unlink(path.c_str());
    }
    if (wakeFd >= 0) {
        ::close(wakeFd);
        wakeFd = -1;
    }
}

void ControlChannel::loop()
{
    std::string pending;
    std::vector<char> buffer(4096);
    while (running) {
        pollfd fds[2] = { { fd, POLLIN, 0 }, { wakeFd, POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            break;
        }
        if (!running) {
            break;
        }
        ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            continue;
        }
        pending.append(buffer.data(), static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty()) {
                std::string result = run(line);
                state.record({ 0, "*", "control", "pipe", line, result });
            }
        }
        if (pending.size() > 65536) {
            pending.clear(); // no line end in sight: not a command
        }
    }
}

std::string ControlChannel::run(const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "usb") {
        std::string recorder;
        int port = 0;
        std::string text;
        words >> recorder >> port >> text;
        DiskSetup disk;
        if (port < 1 || port > 2 || !Scenario::parseDisk(text, disk)) {
            return "error: usage: usb RECORDER 1|2 none|SIZE_GB[:notready][:ready-ms=N][:formatted][:parts=N]";
        }
        std::string result = "error: no recorder " + recorder;
        state.update([&](SimState& s) {
            RecorderState* r = s.recorder(recorder);
            if (r == nullptr) {
                return;
            }
            DiskState& d = r->disks[static_cast<size_t>(port - 1)];
            d.setup = disk;
            d.pluggedAt = std::chrono::steady_clock::now();
            d.formatting = false;
            d.progress = 0;
            d.fsCode = disk.plugged ? (disk.formatted ? 1 : 3) : 0;
            result = "ok";
        });
        return result;
    }
    if (command == "zone") {
        std::string recorder;
        int zone = -1;
        words >> recorder >> zone;
        if (zone < 0 || zone > 199) {
            return "error: usage: zone RECORDER 0..199";
        }
        std::string result = "error: no recorder " + recorder;
        state.update([&](SimState& s) {
            if (RecorderState* r = s.recorder(recorder)) {
                r->zone = zone;
                result = "ok";
            }
        });
        return result;
    }
    if (command == "fault") {
        // Datagram faults (and "*" for every device) switch the datagram service; the others the HTTP servers.
        std::istringstream peek(words.str());
        std::string skip, device, text;
        peek >> skip >> device >> text;
        const bool datagram = device == "*" || text.rfind("udp-", 0) == 0;
        if (datagram || text == "clear" || text == "none") {
            const std::string result = runFault(words);
            if (datagram)
                return result;
            state.clearLiveFaults(device);
            return "ok";
        }
        words >> device >> text;
        bool known = false;
        state.read([&](const SimState& s) {
            known = s.recorder(device) != nullptr || s.camera(device) != nullptr || device == "portal";
        });
        if (!known || text.empty()) {
            return "error: usage: fault DEVICE clear|NAME[:VALUE][*COUNT][@SCOPE],...";
        }
        if (text == "clear" || text == "none") {
            state.clearLiveFaults(device);
            return "ok";
        }
        FaultSet faults;
        std::string error;
        if (!faults.add(text, error, true)) {
            return "error: " + error;
        }
        state.addLiveFaults(device, faults);
        return "ok";
    }
    if (command == "portal") {
        std::string key;
        std::string value;
        words >> key >> value;
        bool on = false;
        if (key == "certificate" && (value == "untrusted" || value == "lab")) {
            if (!portalCertificate) {
                return "error: no portal";
            }
            return portalCertificate(value == "untrusted");
        }
        if (key != "refuse-bind" || (value != "yes" && value != "no")) {
            return "error: usage: portal refuse-bind yes|no | portal certificate untrusted|lab";
        }
        on = value == "yes";
        state.update([&](SimState& s) { s.portal.refuseBind = on; });
        return "ok";
    }
    if (command == "vanish") {
        // Gone from the network: neither its datagram service nor its web server answers any more.
        std::string device;
        std::string value;
        words >> device >> value;
        if (device.empty() || device == "*" || (value != "yes" && value != "no")) {
            return "error: usage: vanish DEVICE yes|no";
        }
        if (value == "no") {
            return run("fault " + device + " clear");
        }
        const std::string datagrams = run("fault " + device + " udp-silent");
        return datagrams != "ok" ? datagrams : run("fault " + device + " http-silent");
    }
    if (command == "sees") {
        // The cameras the recorder sees from now on: cameras appear and leave between two scans.
        std::string recorder;
        std::string names;
        words >> recorder >> names;
        std::vector<std::string> seen;
        if (names != "none") {
            std::istringstream list(names);
            for (std::string name; std::getline(list, name, ',');) {
                if (!name.empty())
                    seen.push_back(name);
            }
        }
        std::string result = "error: usage: sees RECORDER CAMERA,...|none";
        state.update([&](SimState& s) {
            RecorderState* r = s.recorder(recorder);
            if (r == nullptr || names.empty())
                return;
            for (const auto& name : seen) {
                if (s.camera(name) == nullptr)
                    return;
            }
            r->setup.sees = seen;
            result = "ok";
        });
        return result;
    }
    if (command == "camera-address") {
        // The address the recorders list for a camera from now on (a camera that moved); "-" lists its own again.
        std::string camera;
        std::string address;
        words >> camera >> address;
        std::string result = "error: usage: camera-address CAMERA TEXT|-";
        state.update([&](SimState& s) {
            CameraState* c = s.camera(camera);
            if (c == nullptr || address.empty())
                return;
            c->listedAddress = address == "-" ? std::string() : address;
            result = "ok";
        });
        return result;
    }
    if (command == "camline") {
        // Raw lines the recorder's camera list carries after its own: "camline R clear", "camline R fill N"
        // (N made-up cameras), or "camline R TEXT" (the rest of the command, blanks kept).
        std::string recorder;
        words >> recorder;
        std::string rest;
        std::getline(words, rest);
        const size_t start = rest.find_first_not_of(' ');
        rest = start == std::string::npos ? std::string() : rest.substr(start);
        std::string result = "error: usage: camline RECORDER clear|fill N|TEXT";
        state.update([&](SimState& s) {
            RecorderState* r = s.recorder(recorder);
            if (r == nullptr || rest.empty())
                return;
            if (rest == "clear") {
                r->extraCameraLines.clear();
            } else if (rest.rfind("fill ", 0) == 0) {
                const int count = std::atoi(rest.c_str() + 5);
                if (count < 1 || count > 1000)
                    return;
                for (int i = 0; i < count; ++i) {
                    char mac[18];
                    std::snprintf(mac, sizeof mac, "02:00:00:00:%02x:%02x", (i >> 8) & 0xFF, i & 0xFF);
                    r->extraCameraLines.push_back("0;10.88." + std::to_string(i / 250) + "."
                        + std::to_string(i % 250 + 1) + ";" + mac + ";Veskor;FILL-" + std::to_string(i + 1)
                        + ";admin;fill" + std::to_string(i + 1) + ";;1");
                }
            } else {
                r->extraCameraLines.push_back(rest);
            }
            result = "ok";
        });
        return result;
    }
    return "error: unknown command '" + command + "'";
}

std::string ControlChannel::runFault(std::istringstream& words)
{
    std::string device;
    std::string text;
    std::string times;
    words >> device >> text >> times;
    if (text == "none") {
        text = "clear";
    }
    if (device.empty() || text.empty()) {
        return "error: usage: fault DEVICE|* FAULTS [times=N] | fault DEVICE|* clear";
    }
    int remaining = -1;
    if (!times.empty()) {
        char* end = nullptr;
        const long n = times.rfind("times=", 0) == 0 ? std::strtol(times.c_str() + 6, &end, 10) : 0;
        if (end == nullptr || *end != '\0' || n < 1 || n > 1000000) {
            return "error: times=N with N at least 1";
        }
        remaining = static_cast<int>(n);
    }
    FaultSet parsed;
    std::string error;
    if (text != "clear" && !parsed.add(text, error)) {
        return "error: " + error;
    }
    for (const Fault& fault : parsed.all()) {
        if (fault.name.rfind("udp-", 0) != 0) {
            return "error: only datagram faults (udp-...) can be switched while running";
        }
    }
    std::string result = "error: no device " + device;
    state.update([&](SimState& s) {
        if (device != "*" && s.recorder(device) == nullptr && s.camera(device) == nullptr) {
            return;
        }
        if (text == "clear") {
            std::erase_if(s.liveFaults, [&](const LiveFault& live) { return live.device == device; });
        } else {
            for (const Fault& fault : parsed.all()) {
                s.liveFaults.push_back({ device, fault, remaining });
            }
        }
        result = "ok";
    });
    return result;
}
