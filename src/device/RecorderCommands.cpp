#include "device/RecorderCommands.h"

#include "device/CommandContext.h"
#include "net/Base64.h"
#include "net/HttpGet.h"
#include "net/PercentEncode.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Commands whose body is not examined: done when the recorder answered 2xx.
CommandResult fetchOnly(CommandContext& context, const std::string& path)
{
    return context.Fetch(path) ? CommandDone() : CommandFailed();
}

CommandResult formatDisk(CommandContext& context)
{
    const CommandInputs& in = context.In();
    return fetchOnly(context,
        "/config/storageformat?storageid=" + std::to_string(in.storageId) + "&partition=" + std::to_string(in.partition)
            + "&fs=" + std::to_string(in.fileSystem));
}

CommandResult pollFormat(CommandContext& context)
{
    if (!context.Fetch("/config/storageformatpoll")) {
        return CommandFailed();
    }
    AnswerParser answer = context.WholeAnswer();
    answer.SplitPairs(kLineEnd);
    const int32_t progress = AnswerNumber(answer.Value("status"));
    return CommandDone([progress](CommandOutputs& out) { out.formatProgress = progress; });
}

CommandResult addCamera(CommandContext& context)
{
    const CommandInputs& in = context.In();
    // Account and password travel as Base64 text, which the recorder expects exactly as it is.
    const std::string path = "/config/addavdev?avdevid=" + std::to_string(in.avdevId)
        + "&avdevname=" + PercentEncode(in.avdevName) + "&hostname=" + PercentEncode(in.hostName)
        + "&hostid=" + PercentEncode(in.hostId) + "&protocol=1&protocoltype=" + std::to_string(in.protocolType)
        + "&account=" + Base64Encode(in.account) + "&pass=" + Base64Encode(in.accountPassword)
        + "&brand=" + PercentEncode(in.brand) + "&product=" + PercentEncode(in.product);
    return fetchOnly(context, path);
}

CommandResult deleteCamera(CommandContext& context)
{
    return fetchOnly(context, "/config/delavdev?avdevid=" + std::to_string(context.In().avdevId));
}

CommandResult setCloudRegStatus(CommandContext& context)
{
    const std::string path = "/config/quelmoregstatus?status=" + std::to_string(context.In().cloudStatus);
    // The recorder may need a moment to take the status: one more try 100 ms later.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0 && !context.Pause(std::chrono::milliseconds(100))) {
            return CommandFailed();
        }
        if (!context.Fetch(path)) {
            return CommandFailed();
        }
        if (context.AnswerBytes().find('1') != std::string_view::npos) {
            return CommandDone();
        }
    }
    return CommandFailed();
}

void clearPortal(CommandOutputs& out)
{
    out.portal.fill(std::string());
}

CommandResult getCloudPortal(CommandContext& context)
{
    if (!context.Fetch("/config/quelmoportal")) {
        return CommandFailed();
    }
    static const char* const keys[CommandOutputs::kPortalFields]
        = { "status", "access", "portal_url", "portal_number", "portal_dfp", "model", "localhyperlink" };
    AnswerParser answer = context.WholeAnswer();
    answer.SplitPairs(kLineEnd);
    std::array<std::string, CommandOutputs::kPortalFields> values;
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = answer.Value(keys[i]);
    }
    return CommandDone([values = std::move(values)](CommandOutputs& out) { out.portal = values; });
}

CommandResult setCloudRegInfo(CommandContext& context)
{
    const CommandInputs& in = context.In();
    return fetchOnly(context,
        "/config/quelmoreginfo?email=" + PercentEncode(in.cloudEmail) + "&password=" + PercentEncode(in.cloudPassword)
            + "&status=1");
}

void clearList(CommandOutputs& out)
{
    out.list.clear();
    out.listNext = 0;
}

CommandResult discoverCameras(CommandContext& context)
{
    // The recorder starts looking for cameras when its language page is asked for; its body is not needed.
    if (!context.Send("/config/languages")) {
        return CommandFailed();
    }
    if (!context.Fetch("/config/quelmodiscovery")) {
        return CommandFailed();
    }
    // A line holding a zero byte stays in its place (the recorder counts positions); the line reader sets it
    // aside alone.
    AnswerParser answer = context.WholeAnswer();
    answer.SplitList(kLineEnd);
    std::vector<std::string> lines;
    const int kept = std::min(answer.Count(), int(CommandOutputs::kMaxListItems));
    for (int i = 0; i < kept; ++i) {
        lines.push_back(answer.Item(i));
    }
    return CommandDone([lines = std::move(lines)](CommandOutputs& out) {
        out.list = lines;
        out.listNext = 0;
    });
}

} // namespace

int32_t AnswerNumber(const std::string& text)
{
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return int32_t(value);
}

const std::vector<DeviceCommand>& RecorderCommands()
{
    using T = Transport;
    static const std::vector<DeviceCommand> table = {
        // code, name, time-out in ms, connection, what issuing clears, what the worker does
        { CommandFormatDisk, "FormatDisk", 6000, T::Recorder, nullptr, &formatDisk },
        { CommandPollFormat, "PollFormat", 6000, T::Recorder, nullptr, &pollFormat },
        { CommandAddCamera, "AddCamera", 6000, T::Recorder, nullptr, &addCamera },
        { CommandDeleteCamera, "DeleteCamera", 6000, T::Recorder, nullptr, &deleteCamera },
        { CommandSetCloudRegStatus, "SetCloudRegStatus", 15000, T::Recorder, nullptr, &setCloudRegStatus },
        { CommandGetCloudPortal, "GetCloudPortal", 15000, T::Recorder, &clearPortal, &getCloudPortal },
        { CommandSetCloudRegInfo, "SetCloudRegInfo", 15000, T::RecorderSecure, nullptr, &setCloudRegInfo },
        { CommandDiscoverCameras, "DiscoverCameras", 30000, T::RecorderSecure, &clearList, &discoverCameras },
    };
    return table;
}
