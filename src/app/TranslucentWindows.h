#pragma once
// Whether the frame can be a translucent window (its shadow drawn around it) on the window system in use. The
// answer depends on the system: X11 needs a compositing manager, Windows always composes (DWM).

bool TranslucencyAvailable();
