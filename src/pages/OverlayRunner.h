#pragma once
// How a page opens an overlay over itself: the values an overlay kind takes, the two results, and the hook
// through which the program's dimmer runs an overlay of a kind over a page.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Overlay kinds (the first parameter of WM_OPEN_OVERLAY).
constexpr int OVERLAY_ABOUT = 1;
constexpr int OVERLAY_LED_RED = 2;
constexpr int OVERLAY_RESET = 3;
constexpr int OVERLAY_MAC_LABEL = 4;
constexpr int OVERLAY_ALARM = 5;
constexpr int OVERLAY_INSTALL_CAMERA = 6;
constexpr int OVERLAY_CAMERA_PASSWORD = 7;
constexpr int OVERLAY_PREVIEW = 8;
constexpr int OVERLAY_TERMS = 9;
constexpr int OVERLAY_NET_ALARM = 12;
constexpr int OVERLAY_NO_DEVICE = 13;
constexpr int OVERLAY_ERROR = 14;

// The values an opener hands to the dimmer; each kind reads only its own.
struct OverlayValues
{
    int mode = 0; // reset help: mode number; alert: 1 format warning, 0 no disk
    bool cancelButton = false; // alert: show CANCEL beside OK
    std::string text; // device label: the MAC text; error box: the error text (empty: the default)
    std::string address; // preview: camera address
    int port = 0; // preview: camera port
    std::string texts[3]; // preview: the camera's three texts
    intptr_t data = 0; // preview: one more value
};

// Runs the dimmer of kind over page (its modal run) and returns its result, IDOK or IDCANCEL.
using OverlayRunner = std::function<int(QWidget* page, int kind, const OverlayValues& values)>;

// Installs the runner that every page uses from now on (the program installs its dimmer at start).
void SetOverlayRunner(OverlayRunner runner);

// Runs the installed runner; IDCANCEL when none is installed.
int RunOverlay(QWidget* page, int kind, const OverlayValues& values = {});
