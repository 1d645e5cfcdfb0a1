#pragma once
// Makes the dimmer run the guide overlays: about (1), red-LED help (2), reset help (3), device label (4) and the
// licence terms (9). Safe to call more than once.

void RegisterGuideOverlays();
