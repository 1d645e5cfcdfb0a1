#include "session/CameraRules.h"

#include "session/CameraLine.h"

#include <algorithm>

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

std::vector<RegistrationStep> PlanRegistration(const std::vector<std::unique_ptr<CameraRecord>>& cameras)
{
    std::vector<RegistrationStep> steps;
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (cameras[i] && IsOnRecorder(*cameras[i]))
            steps.push_back({ RegistrationStep::Remove, static_cast<int>(i), static_cast<int32_t>(i), false });
    }
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (cameras[i] && cameras[i]->selected == 1)
            steps.push_back({ RegistrationStep::Add, static_cast<int>(i), -1, false });
    }
    return steps;
}

void RunRegistration(std::vector<RegistrationStep>& steps, const std::function<bool(const RegistrationStep&)>& send,
    const std::function<bool()>& running)
{
    int32_t added = 0;
    for (RegistrationStep& step : steps) {
        if (!running())
            break;
        if (step.kind == RegistrationStep::Add)
            step.avdevId = added;
        step.done = send(step);
        if (step.done && step.kind == RegistrationStep::Add)
            ++added;
    }
}

void ApplyRegistration(std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<RegistrationStep>& steps)
{
    for (auto& camera : cameras) {
        if (camera)
            camera->selected = 0;
    }
    for (const RegistrationStep& step : steps) {
        if (step.kind == RegistrationStep::Add && step.done && step.camera >= 0
            && static_cast<size_t>(step.camera) < cameras.size() && cameras[static_cast<size_t>(step.camera)])
            cameras[static_cast<size_t>(step.camera)]->selected = 1;
    }
}
