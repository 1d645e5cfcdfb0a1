#pragma once
// Makes the dimmer run the camera page's overlays: the install help (6) and the live preview (8). Safe to call
// more than once.

void RegisterCameraOverlays();
