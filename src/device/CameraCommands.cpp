#include "device/CameraCommands.h"

#include "device/CommandContext.h"
#include "net/HttpGet.h"
#include "net/PercentEncode.h"

namespace {

// Bytes of a password-change answer in which the echo must appear.
constexpr size_t kEchoWindow = 128;

CommandResult checkCameraLogin(CommandContext& context)
{
    // A camera that takes the credentials answers 200; a wrong password is a 401 and fails the send.
    int status = 0;
    if (!context.Http().GetAuthorised("/userlist.cgi?") || !context.Http().QueryStatusCode(status)) {
        return CommandFailed();
    }
    return status == 200 ? CommandDone() : CommandFailed();
}

CommandResult setCameraPassword(CommandContext& context)
{
    const std::string& password = context.In().newCameraPassword;
    const std::string encoded = PercentEncode(password);
    if (!context.Fetch("/system.cgi?AdminID=admin&AdminPassword=" + encoded + "&ConfigReboot=No")) {
        return CommandFailed();
    }
    // The camera confirms by echoing the password it took within the start of its answer; one that
    // repeats the request's query shows it encoded.
    const std::string head = context.Answer().Text().substr(0, kEchoWindow);
    const bool echoed = head.find("AdminPassword=" + password) != std::string::npos
        || head.find("AdminPassword=" + encoded) != std::string::npos;
    return echoed ? CommandDone() : CommandFailed();
}

} // namespace

const std::vector<DeviceCommand>& CameraCommands()
{
    using T = Transport;
    static const std::vector<DeviceCommand> table = {
        // code, name, time-out in ms, connection, what issuing clears, what the worker does
        { CommandSetCameraPassword, "SetCameraPassword", 30000, T::Camera, nullptr, &setCameraPassword },
        { CommandCheckCameraLogin, "CheckCameraLogin", 30000, T::Camera, nullptr, &checkCameraLogin },
    };
    return table;
}
