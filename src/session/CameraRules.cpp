#include "session/CameraRules.h"

#include "session/CameraLine.h"

#include <algorithm>
#include <cstdint>
#include <deque>

void RememberVerifiedRows(std::vector<RememberedCamera>& memory, const std::vector<CameraRowState>& rows,
    const std::vector<std::unique_ptr<CameraRecord>>& cameras)
{
    const size_t count = std::min(rows.size(), cameras.size());
    for (size_t i = 0; i < count; ++i) {
        const CameraRecord* camera = cameras[i].get();
        if (!rows[i].verified || camera == nullptr || camera->password.empty() || camera->mac.empty())
            continue;
        auto known = std::find_if(
            memory.begin(), memory.end(), [camera](const RememberedCamera& entry) { return entry.mac == camera->mac; });
        if (known == memory.end()) {
            memory.push_back({ camera->ip, camera->mac, rows[i].checked ? 1 : 0, camera->password });
        } else {
            known->ip = camera->ip;
            known->checked = rows[i].checked ? 1 : 0;
            known->password = camera->password;
        }
    }
}

std::vector<CameraRowState> StartRows(
    std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<RememberedCamera>& memory, int& checkedCount)
{
    std::vector<CameraRowState> rows;
    rows.reserve(cameras.size());
    checkedCount = 0;
    for (auto& camera : cameras) {
        CameraRowState row;
        row.verified = camera->verified == 1 || camera->account == "admin";
        if (!camera->mac.empty()) {
            for (const RememberedCamera& entry : memory) {
                if (entry.mac != camera->mac)
                    continue;
                if (entry.checked == 1 && checkedCount < kMaxCheckedCameras) {
                    row.checked = true;
                    ++checkedCount;
                }
                camera->password = entry.password;
                camera->verified = 1;
                row.verified = true;
                break;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

bool KeepsCameraPasswordRule(std::string_view password)
{
    int length = 0;
    for (const char c : password) {
        if (c == '/' || c == ':' || c == '&' || c == ' ')
            return false;
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) // not a continuation byte: a character starts
            ++length;
    }
    return length >= kCameraPasswordMinLength && length <= kCameraPasswordMaxLength;
}

CheckAction DecideCheck(const CameraRowState& row, const CameraRecord& camera, int checkedCount)
{
    if (row.checked || checkedCount >= kMaxCheckedCameras)
        return CheckAction::Refuse;
    if ((row.verified && !camera.password.empty()) || camera.verified == 1)
        return CheckAction::Check;
    if (!camera.password.empty() || camera.account.empty())
        return CheckAction::EnterPassword;
    return CheckAction::CreatePassword;
}

bool IsSameCamera(const CameraRecord& camera, const std::string& mac, const std::string& address)
{
    if (!mac.empty())
        return camera.mac == mac;
    return !address.empty() && camera.mac.empty() && camera.ip == address;
}

namespace {

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// The key a camera is known by on the recorder's list: its MAC in any case, or without one its address.
std::string IdentityOf(const std::string& mac, const std::string& ip)
{
    return mac.empty() ? "address " + ip : Upper(mac);
}

// One camera (one identity) and the steps that concern it.
struct Identity
{
    std::string key;
    bool wanted = false; // chosen: it stays (or goes) on the recorder exactly once
    std::vector<size_t> steps;
};

// One read of the recorder's list: every line, and its record (none for a line that cannot be read).
struct RecorderList
{
    std::vector<std::string> lines;
    std::vector<std::unique_ptr<CameraRecord>> records;

    explicit RecorderList(std::vector<std::string> read)
        : lines(std::move(read))
    {
        for (const std::string& line : lines)
            records.push_back(ParseCameraLine(line));
    }

    // Whether the line at `position` holds a channel: a camera listed as added, or a line too damaged to say
    // (taken as holding one, so nothing is ever added over it).
    bool HoldsChannel(size_t position) const
    {
        return records[position] == nullptr || IsOnRecorder(*records[position]);
    }

    // The channel the line at `position` names in its eighth field ("ch1" is channel 0), when it names one.
    std::optional<int32_t> ChannelOf(size_t position) const
    {
        const CameraRecord* record = records[position].get();
        if (record == nullptr || record->extra.size() < 3 || record->extra.size() > 5
            || record->extra.compare(0, 2, "ch") != 0)
            return std::nullopt;
        int32_t number = 0;
        for (size_t i = 2; i < record->extra.size(); ++i) {
            if (record->extra[i] < '0' || record->extra[i] > '9')
                return std::nullopt;
            number = number * 10 + (record->extra[i] - '0');
        }
        if (number < 1)
            return std::nullopt;
        return number - 1;
    }

    // The positions of the camera among the added ones, lowest first.
    std::vector<int32_t> PositionsOf(const std::string& key) const
    {
        std::vector<int32_t> positions;
        for (size_t i = 0; i < records.size(); ++i) {
            if (records[i] && IsOnRecorder(*records[i]) && IdentityOf(records[i]->mac, records[i]->ip) == key)
                positions.push_back(static_cast<int32_t>(i));
        }
        return positions;
    }

    // The lines holding a channel, in order, but the one at `except`: what a removal may change and nothing else
    // may.
    std::vector<std::string> HeldLines(size_t except = SIZE_MAX) const
    {
        std::vector<std::string> held;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i != except && HoldsChannel(i))
                held.push_back(lines[i]);
        }
        return held;
    }
};

} // namespace

std::vector<RegistrationStep> PlanRegistration(const std::vector<std::unique_ptr<CameraRecord>>& cameras)
{
    // A camera listed twice is chosen when any of its rows is.
    std::vector<std::string> chosen;
    for (const auto& camera : cameras) {
        if (camera && camera->selected == 1)
            chosen.push_back(IdentityOf(camera->mac, camera->ip));
    }
    auto isChosen = [&chosen](const std::string& key) {
        return std::find(chosen.begin(), chosen.end(), key) != chosen.end();
    };
    std::vector<RegistrationStep> steps;
    std::vector<std::string> added;
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (!cameras[i])
            continue;
        const CameraRecord& camera = *cameras[i];
        const std::string key = IdentityOf(camera.mac, camera.ip);
        RegistrationStep step;
        step.camera = static_cast<int>(i);
        step.mac = camera.mac;
        step.ip = camera.ip;
        if (IsOnRecorder(camera)) {
            step.kind = isChosen(key) ? RegistrationStep::Keep : RegistrationStep::Remove;
        } else if (camera.selected == 1 && std::find(added.begin(), added.end(), key) == added.end()) {
            step.kind = RegistrationStep::Add;
            added.push_back(key);
        } else {
            continue;
        }
        steps.push_back(step);
    }
    return steps;
}

void RunRegistration(std::vector<RegistrationStep>& steps, const RegistrationLink& recorder)
{
    std::vector<Identity> identities;
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].done = false;
        steps[i].avdevId = -1;
        const std::string key = IdentityOf(steps[i].mac, steps[i].ip);
        auto found = std::find_if(
            identities.begin(), identities.end(), [&key](const Identity& identity) { return identity.key == key; });
        if (found == identities.end())
            found = identities.insert(identities.end(), Identity { key, false, {} });
        found->wanted = found->wanted || steps[i].kind != RegistrationStep::Remove;
        found->steps.push_back(i);
    }
    auto firstStep = [&steps](const Identity& identity, RegistrationStep::Kind kind) {
        for (size_t index : identity.steps) {
            if (steps[index].kind == kind)
                return static_cast<int>(index);
        }
        return -1;
    };

    if (!recorder.running())
        return;
    std::optional<std::vector<std::string>> read = recorder.readList();
    if (!read)
        return; // nothing is sent on a list not seen
    std::deque<RecorderList> reads; // every read of this run; a deque, so earlier reads stay where they are
    reads.emplace_back(std::move(*read));

    // Removals, highest position first, each checked on a fresh list.
    std::vector<bool> givenUp(identities.size(), false);
    bool listInDoubt = false;
    const size_t rounds = reads.front().lines.size() + identities.size(); // each removes a line or gives one up
    for (size_t round = 0; round < rounds && recorder.running(); ++round) {
        const RecorderList& now = reads.back();
        int32_t position = -1;
        size_t which = 0;
        for (size_t i = 0; i < identities.size(); ++i) {
            const std::vector<int32_t> listed = now.PositionsOf(identities[i].key);
            if (givenUp[i] || listed.size() <= (identities[i].wanted ? 1u : 0u))
                continue;
            if (listed.back() > position) {
                position = listed.back();
                which = i;
            }
        }
        if (position < 0)
            break;
        int step = firstStep(identities[which], RegistrationStep::Remove);
        if (step < 0) // a kept camera listed twice: the step that keeps it names it
            step = static_cast<int>(identities[which].steps.front());
        // The channel the line names is the one to empty; a line that names none is removed by its position.
        const int32_t avdevId = now.ChannelOf(static_cast<size_t>(position)).value_or(position);
        steps[static_cast<size_t>(step)].avdevId = avdevId;
        if (!recorder.send(RegistrationStep::Remove, static_cast<size_t>(step), avdevId)) {
            givenUp[which] = true;
            continue;
        }
        // What the list must be now: the one before without the line removed.
        const std::vector<std::string> expected = now.HeldLines(static_cast<size_t>(position));
        std::optional<std::vector<std::string>> next = recorder.readList();
        if (!next) {
            listInDoubt = true;
            break;
        }
        reads.emplace_back(std::move(*next));
        if (reads.back().HeldLines() != expected) {
            listInDoubt = true;
            break;
        }
    }
    const RecorderList& afterRemovals = reads.back();
    for (const Identity& identity : identities) {
        const size_t listed = afterRemovals.PositionsOf(identity.key).size();
        for (size_t index : identity.steps) {
            if (steps[index].kind == RegistrationStep::Remove)
                steps[index].done = listed <= (identity.wanted ? 1u : 0u);
        }
    }

    // Adds, into channels that nothing still on the recorder holds.
    std::vector<std::string> stillHeld;
    for (size_t i = 0; i < afterRemovals.records.size(); ++i) {
        if (afterRemovals.records[i] && IsOnRecorder(*afterRemovals.records[i]))
            stillHeld.push_back(IdentityOf(afterRemovals.records[i]->mac, afterRemovals.records[i]->ip));
    }
    // A line that names its channel holds that one; of a line that names none, every position it was listed at
    // may be its channel (the recorder may or may not have closed the gaps below it).
    std::vector<int32_t> taken;
    for (size_t i = 0; i < afterRemovals.records.size(); ++i) {
        if (afterRemovals.HoldsChannel(i) && afterRemovals.ChannelOf(i))
            taken.push_back(*afterRemovals.ChannelOf(i));
    }
    for (const RecorderList& list : reads) {
        for (size_t i = 0; i < list.records.size(); ++i) {
            if (!list.HoldsChannel(i) || list.ChannelOf(i))
                continue;
            const CameraRecord* record = list.records[i].get();
            if (record == nullptr
                || std::find(stillHeld.begin(), stillHeld.end(), IdentityOf(record->mac, record->ip))
                    != stillHeld.end())
                taken.push_back(static_cast<int32_t>(i));
        }
    }
    bool addsSent = false;
    for (const Identity& identity : identities) {
        const int step = firstStep(identity, RegistrationStep::Add);
        if (step < 0)
            continue;
        RegistrationStep& add = steps[static_cast<size_t>(step)];
        if (!afterRemovals.PositionsOf(identity.key).empty()) {
            add.done = true; // the recorder lists it already: a second channel would show it twice
            continue;
        }
        if (listInDoubt || !recorder.running())
            continue; // the recorder's channels are not known well enough to add anything safely
        int32_t channel = 0;
        while (std::find(taken.begin(), taken.end(), channel) != taken.end())
            ++channel;
        taken.push_back(channel);
        add.avdevId = channel;
        add.done = recorder.send(RegistrationStep::Add, static_cast<size_t>(step), channel);
        addsSent = true;
    }

    // Kept cameras: kept while the recorder lists them, after the adds too.
    if (addsSent && recorder.running()) {
        if (std::optional<std::vector<std::string>> last = recorder.readList())
            reads.emplace_back(std::move(*last));
    }
    for (const Identity& identity : identities) {
        const bool listed = !reads.back().PositionsOf(identity.key).empty();
        for (size_t index : identity.steps) {
            if (steps[index].kind == RegistrationStep::Keep)
                steps[index].done = listed;
        }
    }
}

void ApplyRegistration(std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<RegistrationStep>& steps)
{
    for (auto& camera : cameras) {
        if (camera)
            camera->selected = 0;
    }
    for (const RegistrationStep& step : steps) {
        if (step.kind != RegistrationStep::Remove && step.done && step.camera >= 0
            && static_cast<size_t>(step.camera) < cameras.size() && cameras[static_cast<size_t>(step.camera)])
            cameras[static_cast<size_t>(step.camera)]->selected = 1;
    }
}
