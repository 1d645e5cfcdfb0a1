#pragma once
// What a command's worker works with: the open connection, the command's inputs, the outputs as they
// stood when it started, and the zero-filled 64000-byte answer buffer.

#include "device/AnswerParser.h"
#include "device/DeviceCommand.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

class HttpGet;

class CommandContext
{
public:
    static constexpr size_t kAnswerBufferSize = 64000;

    // `pause` waits the given time and returns false when the command was stopped meanwhile.
    CommandContext(HttpGet& http, const CommandInputs& inputs, const CommandOutputs& before,
        std::function<bool(std::chrono::milliseconds)> pause);

    HttpGet& Http() { return http; }
    const CommandInputs& In() const { return inputs; }
    const CommandOutputs& Before() const { return before; }

    // Zeroes the answer buffer and reads the whole answer to a GET of `path` into it (at most 63999 bytes),
    // answering a Digest challenge on a second request (HttpGet::GetAuthorised). False when the request
    // failed (connection, send, or a read) or its status is not 2xx: a peer's error page is never data.
    bool Fetch(std::string_view path);
    // A GET of `path` whose body is not wanted. False as for Fetch.
    bool Send(std::string_view path);

    // The status of the latest answer that arrived; 0 when none did.
    int LastStatus() const { return lastStatus; }

    // Zeroes the answer buffer and reads the current response's body into it piece by piece until it ends
    // or the buffer holds 63999 bytes. False when a read failed.
    bool ReadBody();

    // The answer in the buffer as text (up to its first zero byte).
    AnswerParser Answer() const;
    // Every byte of the answer, zero bytes included, so a list reader can set a bad line aside and keep the rest.
    AnswerParser WholeAnswer() const;
    std::string_view AnswerBytes() const { return std::string_view(buffer.data(), size); }

    // False when the command was stopped during the wait.
    bool Pause(std::chrono::milliseconds duration) { return pause(duration); }

private:
    HttpGet& http;
    const CommandInputs& inputs;
    const CommandOutputs& before;
    std::function<bool(std::chrono::milliseconds)> pause;
    std::vector<char> buffer;
    size_t size = 0;
    int lastStatus = 0;

    bool judgeStatus(bool arrived);
};
