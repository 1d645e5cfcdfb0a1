#pragma once
// The window messages that the wizard's windows post to each other, and their codes.
// The numbers are the system's own (WM_USER-based); every window class handles them in onMessage().

constexpr int WM_USER = 0x0400;

// To the host (and from the host to the frame).
constexpr int WM_WIZARD_NAV = 1124; // wParam: one of the NAV_ codes
constexpr int NAV_BACK = 1;
constexpr int NAV_NEXT = 2;
constexpr int NAV_CLOSE = 3;
constexpr int NAV_FINISH = 4;
constexpr int NAV_HOME = 5;
constexpr int NAV_MINIMIZE = 6;
constexpr int WM_WIZARD_MOVE = 1139; // wParam x, lParam y: the page's new position
constexpr int WM_START_LOGIN_PROBE = 1146;
constexpr int WM_STORAGE_WATCH = 1147; // wParam 0: (re)start, anything else: stop

// From the host's services to pages.
constexpr int WM_STORAGE_CHANGED = 1148;
constexpr int WM_PROBE_FAILED = 1149;

// From controls to their page.
constexpr int WM_OPEN_OVERLAY = 1125; // wParam: overlay kind, lParam: the sender's data (a list row)
constexpr int WM_CHOICE_CHANGED = 1127; // wParam: the choice value, or CHOICE_TOGGLED
constexpr int WM_LANGUAGE_SELECTED = 1129; // wParam: chosen item index (-1: the list closed without a choice)
constexpr int WM_LINK_CLICKED = 1140; // wParam 0
constexpr int CHOICE_TOGGLED = 4; // posted by a toggle button with notification
constexpr int NO_OVERLAY = -1; // an overlay kind that posts nothing

// Private to the recorder search and camera pages and their lists and overlays.
constexpr int WM_CAMERAS_READY = 1126;
constexpr int WM_CAMERA_CHECK_REQUEST = 1131; // wParam: row
constexpr int WM_VERIFY_CAMERA_PASSWORD = 1132;
constexpr int WM_CREATE_CAMERA_PASSWORD = 1133;
constexpr int WM_CAMERA_PASSWORD_OK = 1134;
constexpr int WM_RESCAN_CAMERAS = 1136;
constexpr int WM_ROW_SELECTED = 1137;
