// The control pipe.
#include "ControlChannel.h"

#include "SimState.h"

#include <cerrno>
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
    if (::mkfifo(path.c_str(), 0666) != 0) {
        error = "control pipe " + path + ": " + std::strerror(errno);
        return false;
    }
    ::chmod(path.c_str(), 0666);
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

std::string ControlChannel::runFault(std::istringstream& words)
{
    std::string device;
    std::string text;
    words >> device >> text;
    FaultSet faults;
    std::string error;
    if (device.empty() || text.empty() || (text != "none" && !faults.add(text, error))) {
        return "error: usage: fault DEVICE FAULTS|none" + (error.empty() ? std::string() : " (" + error + ")");
    }
    std::string result = "error: no device " + device;
    state.update([&](SimState& s) {
        if (device != "portal" && s.recorder(device) == nullptr && s.camera(device) == nullptr) {
            return;
        }
        if (text == "none") {
            s.addedFaults.erase(device);
        } else {
            s.addedFaults[device] = faults;
        }
        result = "ok";
    });
    return result;
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
            return "error: usage: usb RECORDER 1|2 none|SIZE_GB[:notready][:formatted][:parts=N]";
        }
        std::string result = "error: no recorder " + recorder;
        state.update([&](SimState& s) {
            RecorderState* r = s.recorder(recorder);
            if (r == nullptr) {
                return;
            }
            DiskState& d = r->disks[static_cast<size_t>(port - 1)];
            d.setup = disk;
            d.formatting = false;
            d.progress = 0;
            d.fsCode = disk.plugged ? (disk.formatted ? 1 : 3) : 0;
            result = "ok";
        });
        return result;
    }
    if (command == "fault") {
        return runFault(words);
    }
    if (command == "portal") {
        std::string key;
        std::string value;
        words >> key >> value;
        bool on = false;
        if (key != "refuse-bind" || (value != "yes" && value != "no")) {
            return "error: usage: portal refuse-bind yes|no";
        }
        on = value == "yes";
        state.update([&](SimState& s) { s.portal.refuseBind = on; });
        return "ok";
    }
    return "error: unknown command '" + command + "'";
}
