#include "device/CommandContext.h"

#include "device/NvrClient.h"
#include "net/HttpGet.h"

#include <algorithm>

CommandContext::CommandContext(HttpGet& http, const CommandInputs& inputs, const CommandOutputs& before,
    std::function<bool(std::chrono::milliseconds)> pause)
    : http(http)
    , inputs(inputs)
    , before(before)
    , pause(std::move(pause))
    , buffer(kAnswerBufferSize, '\0')
{
}

bool CommandContext::Fetch(std::string_view path)
{
    std::fill(buffer.begin(), buffer.end(), '\0');
    size = buffer.size();
    if (!judgeStatus(http.GetAuthorised(path, buffer.data(), &size))) {
        size = 0;
        return false;
    }
    return true;
}

bool CommandContext::Send(std::string_view path)
{
    return judgeStatus(http.GetAuthorised(path));
}

// Only a 2xx answer counts: a recorder that refuses a command (400), or fails at it (500), has not done it.
bool CommandContext::judgeStatus(bool arrived)
{
    int status = 0;
    lastStatus = http.QueryStatusCode(status) ? status : 0;
    return arrived && lastStatus >= 200 && lastStatus <= 299;
}

bool CommandContext::ReadBody()
{
    std::fill(buffer.begin(), buffer.end(), '\0');
    size = 0;
    // The last byte stays zero, so the answer is always a terminated text.
    while (size + 1 < buffer.size()) {
        size_t read = 0;
        if (!http.ReadChunk(buffer.data() + size, buffer.size() - 1 - size, read)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        size += read;
    }
    return true; // full: the rest of the answer is not wanted
}

AnswerParser CommandContext::Answer() const
{
    return AnswerParser::FromBytes(buffer.data(), size);
}

AnswerParser CommandContext::WholeAnswer() const
{
    return AnswerParser(std::string(buffer.data(), size));
}

CommandResult CommandDone(std::function<void(CommandOutputs&)> write)
{
    return CommandResult { NvrClient::Done, std::move(write) };
}

CommandResult CommandFailed()
{
    return CommandResult { NvrClient::Failed, nullptr };
}
