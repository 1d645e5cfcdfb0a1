#pragma once
// Changes made while the simulator runs, for tests that play a user at the devices: command lines
// written to a named pipe (by default LAB_DIR/sim-control, so processes in the pc namespace reach it).
//   usb RECORDER PORT DISK    plug, unplug or replace the disk on USB port 1 or 2 (DISK as in a scenario)
//   zone RECORDER N           set the recorder's current time-zone number
//   fault DEVICE FAULTS [times=N] datagram faults (udp-...) for a device ("*": every device), for its next N
//                             datagrams of their scope or until cleared
//   fault DEVICE FAULTS       switch HTTP faults on (a count "*N" limits one to the next N requests it fits)
//   fault DEVICE clear|none   switch off what the fault command switched on
//   portal refuse-bind yes|no the portal refuses every bind (BINDERR002), or binds again
//   portal certificate untrusted|lab  the portal presents a certificate no trusted authority signed, or the lab's
//   vanish RECORDER yes|no    the device answers nothing more on HTTP and datagrams (gone from the network), or
//                             is back (like fault DEVICE clear)
// Each command is logged in the state file (kind "control") with its result.

#include <atomic>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

class SimState;

class ControlChannel
{
public:
    explicit ControlChannel(SimState& state);
    ~ControlChannel();

    // Creates the pipe (replacing a stale one) and starts reading it.
    bool start(const std::string& path, std::string& error);
    void stop();

    // Runs one command line; returns what happened ("ok ..." or "error: ...").
    std::string run(const std::string& line);

    // Switches the portal's certificate (true: one no trusted authority signed); set by whoever runs the portal.
    std::function<std::string(bool untrusted)> portalCertificate;

private:
    void loop();
    std::string runFault(std::istringstream& words);

    SimState& state;
    std::string path;
    int fd = -1;
    int wakeFd = -1;
    std::atomic<bool> running { false };
    std::thread thread;
};
