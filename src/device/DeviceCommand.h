#pragma once
// One command of the request object as its vocabulary defines it: its code, time-out and connection,
// and the work the worker does for it. The recorder, camera and portal vocabularies each hold a table.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CommandContext;

// Which connection a command uses. The recorder's configuration interface is plain HTTP on its web port
// or HTTPS on 443 with its self-signed certificate; cameras are plain HTTP; the cloud portal is HTTPS on
// 443 with a certificate verified against the system trust store.
enum class Transport { Recorder, RecorderSecure, Camera, Portal };

// Everything a command method stores for its worker (each command uses its own few fields).
struct CommandInputs
{
    // Recorder: storage
    int32_t storageId = 0;
    int32_t partition = 0;
    int32_t fileSystem = 0;
    // Recorder: cameras
    int32_t avdevId = 0;
    std::string avdevName;
    std::string hostName;
    std::string hostId;
    int32_t protocolType = 0;
    std::string account;
    std::string accountPassword;
    std::string brand;
    std::string product;
    // Recorder: cloud registration
    int32_t cloudStatus = 1;
    std::string cloudEmail;
    std::string cloudPassword;
    // Camera
    std::string newCameraPassword;
    // Portal forms
    std::string client;
    std::string wizardVersion;
    std::string lang;
    std::string email;
    std::string password;
    std::string passwordVerify;
    std::string nameFirst;
    std::string nameLast;
    std::string tovraNo;
    std::string devicePassword;
    std::string dfp;
};

// The results the request object keeps between commands.
struct CommandOutputs
{
    static constexpr size_t kMaxListItems = 256;
    enum PortalField { PortalStatus, PortalAccess, PortalUrl, PortalNumber, PortalDfp, PortalModel, PortalLink };
    static constexpr size_t kPortalFields = 7;

    int32_t formatProgress = 0;
    std::array<std::string, kPortalFields> portal; // the recorder's cloud-portal answer, in PortalField order
    std::vector<std::string> list; // camera lines, at most kMaxListItems
    size_t listNext = 0; // the item NextListItem hands out next
    std::string answerText; // the last portal answer
    std::string cookie; // value of the portal's "quelmo" cookie from the last sign-up or sign-in
    int32_t errCount = 0; // failed portal attempts since the last success, sent with every form
    int32_t answerStatus = 0; // HTTP status of the last command's last answer; 0: no answer arrived
};

// How a command ended: the state it reports (Done or Failed; 0 reports nothing) and the outputs it writes,
// which the request object stores before the state word announces them.
struct CommandResult
{
    int32_t state = 0;
    std::function<void(CommandOutputs&)> write;
};

// The two ends of a command that reached its peer.
CommandResult CommandDone(std::function<void(CommandOutputs&)> write = nullptr);
CommandResult CommandFailed();

struct DeviceCommand
{
    int32_t code;
    const char* name;
    uint32_t timeoutMs;
    Transport transport;
    // Run by the command method when the command is issued (clears outputs that must not outlive it).
    void (*prepare)(CommandOutputs& outputs);
    // Run on the worker thread.
    CommandResult (*perform)(CommandContext& context);
};
