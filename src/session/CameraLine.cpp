#include "session/CameraLine.h"

#include <climits>
#include <string>

namespace {

constexpr size_t kFieldCount = 9;

} // namespace

std::unique_ptr<CameraRecord> ParseCameraLine(std::string_view line)
{
    // A zero byte has no place in a camera line: the line is damaged, and only this one camera is left out.
    if (line.find('\0') != std::string_view::npos)
        return nullptr;
    auto record = std::make_unique<CameraRecord>();
    std::string* const fields[kFieldCount] = { &record->onRecorder, &record->ip, &record->mac, &record->brand,
        &record->model, &record->account, &record->password, &record->extra, &record->protocolType };
    // Format: field0;field1;...;field8[;ignored...]
    std::string_view rest = line;
    for (size_t index = 0; index < kFieldCount && !rest.empty(); ++index) {
        const size_t end = rest.find(';');
        *fields[index] = std::string(rest.substr(0, end));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    if (record->ip.empty())
        return nullptr;
    return record;
}

int ProtocolTypeValue(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (text[at] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool IsOnRecorder(const CameraRecord& camera)
{
    return camera.onRecorder.find('1') != std::string::npos;
}
