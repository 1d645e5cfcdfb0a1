#pragma once
// The camera page's rules without widgets: what a rescan carries over, how the rows of a new list start, what a
// click on an unchecked box leads to, and which removals and registrations Next sends to the recorder.

#include "session/CameraRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

// What Next does for one camera of the list.
struct RegistrationStep
{
    enum Kind {
        Remove, // on the recorder, not chosen: taken off it
        Add, // chosen, not on the recorder: added into a free channel
        Keep, // chosen and on the recorder already: left untouched
    } kind = Add;
    int camera = -1; // index in the camera list the steps were planned from
    std::string mac; // the camera's identity on the recorder's list: its MAC (any case), or without one its address
    std::string ip;
    int32_t avdevId = -1; // filled while running: the position or channel the last request for it named
    bool done = false; // filled while running: Remove: the recorder lists it no more; Add: the recorder took it;
                       // Keep: the recorder still lists it
};

// The steps of Next: every chosen camera the recorder already lists is kept as it is, every one it lists that is
// not chosen is removed, every chosen one it does not list is added. A camera listed twice (in two channels) is
// one camera: it is kept once, or removed everywhere.
std::vector<RegistrationStep> PlanRegistration(const std::vector<std::unique_ptr<CameraRecord>>& cameras);

// The recorder as the registrations see it.
struct RegistrationLink
{
    // The camera lines the recorder lists now, in its order; nothing when they could not be read.
    std::function<std::optional<std::vector<std::string>>()> readList;
    // One request: a Remove of the camera at position avdevId of the list, or an Add of steps[step] into channel
    // avdevId. True when the recorder took it.
    std::function<bool(RegistrationStep::Kind kind, size_t step, int32_t avdevId)> send;
    // The work goes on while this holds.
    std::function<bool()> running;
};

// Runs the steps against the recorder, never touching a kept camera:
// - A removal names the channel the camera's line names in its eighth field ("ch3" is channel 2), else the
//   line's position in the list. Positions move when a camera goes, so the list is read afresh before the first
//   and after every removal, and the camera removed is always the one at the highest position still to go: the
//   positions below it are the same whether the recorder closes the gap or leaves its channel empty. A removal
//   whose list does not come back as the list before minus that one line stops the removals (the recorder did
//   something else), and then nothing is added.
// - An Add goes into the lowest channel that nothing still on the recorder holds: the channel a line names, or,
//   for a line that names none, every position it was listed at in those reads (so neither a kept camera nor one
//   whose removal failed is overwritten, whichever way the recorder counts), and not where an earlier Add of this
//   run went. A chosen camera the list already shows is not added again.
// - At the end the list is read once more: a kept camera counts as kept only while the recorder lists it.
// Marks each step's `done` and `avdevId`.
void RunRegistration(std::vector<RegistrationStep>& steps, const RegistrationLink& recorder);

// After the steps ran: a selected camera stays selected only when it was kept or its registration was taken.
void ApplyRegistration(std::vector<std::unique_ptr<CameraRecord>>& cameras, const std::vector<RegistrationStep>& steps);
