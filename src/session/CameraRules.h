#pragma once
// The camera page's rules without widgets: what a rescan carries over, how the rows of a new list start, what a
// click on an unchecked box leads to, and which removals and registrations Next sends to the recorder.

#include "session/CameraRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// At most this many cameras are checked at a time (the recorder's wizard adds up to four).
constexpr int kMaxCheckedCameras = 4;

// The rule for a password created for a camera: 6 to 30 characters, none of them "/", ":", "&" or a space.
constexpr int kCameraPasswordMinLength = 6;
constexpr int kCameraPasswordMaxLength = 30;
// Whether a password (UTF-8; characters are counted, not bytes) keeps that rule.
bool KeepsCameraPasswordRule(std::string_view password);

// What a rescan carries over from one list to the next, keyed by the camera's MAC.
struct RememberedCamera
{
    std::string ip; // the address the camera had when it was remembered
    std::string mac; // never empty: a camera without a MAC cannot be recognised again
    int32_t checked = 0; // the row's check state when remembered
    std::string password;
};

// The two flags of one list row.
struct CameraRowState
{
    bool checked = false;
    bool verified = false;
};

// Before the rows go: every verified row whose camera has a MAC and a password is remembered (or its entry
// brought up to date), with the row's check state. rows[i] shows cameras[i].
void RememberVerifiedRows(std::vector<RememberedCamera>& memory, const std::vector<CameraRowState>& rows,
    const std::vector<std::unique_ptr<CameraRecord>>& cameras);

// The rows of a newly read list, one per camera: verified when the camera is, or its account is "admin"; a
// remembered camera (same non-empty MAC) gets its password back and is verified, and is checked again if it
// was checked, as long as fewer than kMaxCheckedCameras rows are checked. `checkedCount` is the number of
// checked rows afterwards.
std::vector<CameraRowState> StartRows(std::vector<std::unique_ptr<CameraRecord>>& cameras,
    const std::vector<RememberedCamera>& memory, int& checkedCount);

// What a click on a box leads to.
enum class CheckAction {
    Refuse, // already checked, or four are
    Check, // the password is known to work: checked at once
    EnterPassword, // the enter-password overlay
    CreatePassword, // the create-password overlay
};
CheckAction DecideCheck(const CameraRowState& row, const CameraRecord& camera, int checkedCount);

// Whether the camera is the one a result was made for: the same MAC, or, when the result carries no MAC, the
// same address (an empty address matches nothing).
bool IsSameCamera(const CameraRecord& camera, const std::string& mac, const std::string& address);

// One request of Next to the recorder.
struct RegistrationStep
{
    enum Kind { Remove, Add } kind = Add;
    int camera = -1; // index in the session's camera list
    int32_t avdevId = -1; // Remove: the camera's position in the list; Add: given while running (the successes so far)
    bool done = false; // filled in while running: the recorder took the request
};

// Every camera the recorder lists as added is first removed from its channel (its position in the list), then
// every selected camera is added, in list order, to the next channel. So afterwards each kept camera is in
// exactly one channel and no dropped camera in any, whatever channels they had.
std::vector<RegistrationStep> PlanRegistration(const std::vector<std::unique_ptr<CameraRecord>>& cameras);

// Sends the steps in order through `send` (true: the recorder took the request), each only while `running` says
// so; an Add goes to the channel numbered by the Adds taken before it (0, 1, ...). Marks each step's `done`.
void RunRegistration(std::vector<RegistrationStep>& steps, const std::function<bool(const RegistrationStep&)>& send,
    const std::function<bool()>& running);

// After the steps ran: a selected camera stays selected only when its registration was taken.
void ApplyRegistration(std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<RegistrationStep>& steps);
