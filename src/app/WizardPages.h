#pragma once
// Hooks the page classes into the host and their overlays into the dimmer.

// Registers the overlays of the guide and camera pages with the dimmer (once per process).
void RegisterWizardOverlays();
