#pragma once
// What the simulator plays: recorders, cameras, the cloud portal and its accounts, read from a line-based
// scenario file (format in sim/README.md) and checked before anything listens.

#include "FaultSet.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Ipv4 = std::array<uint8_t, 4>;
using Mac = std::array<uint8_t, 6>;

struct DiskSetup
{
    bool plugged = false;
    bool ready = true;
    int sizeGb = 0;
    std::string model = "SimDisk USB 3.0";
    int partitions = 1;
    bool formatted = false; // carries a file system already
    int readyMs = 0; // a disk not ready at first becomes ready this long after it was plugged (0: never)
};

struct RecorderSetup
{
    std::string name;
    std::string model = "HXT-914Q";
    std::string extra = "V3.4.1 build 20240311";
    Mac mac {};
    Ipv4 ip {};
    Ipv4 searchIp {}; // the address its search answer announces (one it may not serve); zero: ip
    int webPort = 80;
    int httpsPort = 443;
    std::string password; // empty: a new recorder
    std::string realm = "HXT-914Q";
    int zone = 0; // current time-zone number
    std::array<DiskSetup, 2> disks; // USB ports 1 and 2
    std::vector<std::string> sees; // names of the cameras on its LAN segment
    std::vector<std::string> registered; // names of cameras already added (in slot order)
    int cloudAccess = 1; // "access" of the portal record: 1 = the cloud service is offered
    int cloudStatus = 0; // registration status reported by quelmoreginfo / quelmoregstatus
    std::string cloudEmail;
    std::string cloudPassword;
    std::string portalNumber; // device number at the portal (tovra_no); made from the MAC when empty
    std::string portalDfp; // device fingerprint; made from the MAC when empty
    std::string portalHost; // empty: the lab's portal host name
    int formatMs = 4000; // how long formatting a disk takes
    FaultSet faults;
};

struct CameraSetup
{
    std::string name;
    std::string model = "QC-210";
    std::string brand = "Veskor";
    Mac mac {};
    Ipv4 ip {};
    int port = 80;
    std::string password; // empty: a new camera
    std::string auth = "any"; // any (Basic and Digest), basic, digest
    std::string realm = "IP Camera";
    int protocolType = 1; // 0: password over the datagram service
    bool answersSearch = true; // answers the broadcast search (another model)
    bool listAccount = true; // the recorder lists it with account "admin" (else empty)
    std::string listPassword; // password field of the recorder's camera line
    int fps = 4;
    bool multipart = false; // picture stream with multipart part headers (else bare JPEGs)
    int pictureWidth = 320; // size of the stream's pictures
    int pictureHeight = 240;
    FaultSet faults;
};

struct AccountSetup
{
    std::string email;
    std::string password;
    std::string firstName;
    std::string lastName;
    std::vector<std::string> devices; // device numbers already bound to the account
};

struct PortalSetup
{
    bool enabled = false;
    Ipv4 ip { 10, 77, 0, 250 };
    std::string host; // empty: $LAB_PORTAL_HOST or "cloud.quelmo.lab"
    bool refuseBind = false; // every bind is refused (BINDERR)
    FaultSet faults;
};

class Scenario
{
public:
    // Reads a scenario file; false with "file:line: reason" in error.
    bool load(const std::string& path, std::string& error);
    // Parses one scenario line (also used for --line options); false with a reason.
    bool parseLine(const std::string& line, std::string& error);
    // Adds faults to a named device ("nvr1=udp-late,http-401"; "portal=..." for the portal).
    bool addFaults(const std::string& setup, std::string& error);
    // Cross-checks: unique names and addresses, known camera names; fills derived defaults.
    bool finish(std::string& error);

    std::vector<RecorderSetup> recorders;
    std::vector<CameraSetup> cameras;
    std::vector<AccountSetup> accounts;
    PortalSetup portal;

    static bool parseIpv4(const std::string& text, Ipv4& out);
    static bool parseMac(const std::string& text, Mac& out);
    // A USB disk: none | SIZE_GB[:notready][:ready-ms=N][:formatted][:parts=N][:model=TEXT]
    static bool parseDisk(const std::string& text, DiskSetup& disk);
    static std::string ipText(const Ipv4& ip);
    static std::string macText(const Mac& mac);
};
