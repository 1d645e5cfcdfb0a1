#include "pages/CameraOverlays.h"

#include "overlays/Dimmer.h"
#include "pages/CameraInstallHelp.h"
#include "pages/PreviewBubble.h"

void RegisterCameraOverlays()
{
    Dimmer::RegisterOverlay(
        Dimmer::KindInstallCam, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            CameraInstallHelp overlay(dimmer, page);
            return overlay.Run();
        });
    // Values: address (with or without ":port"), texts[0] account, texts[1] password, texts[2] the description
    // shown, anchor; `value` (the camera's datagram flag) is not needed here.
    Dimmer::RegisterOverlay(
        Dimmer::KindPreview, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            PreviewBubble overlay(dimmer, page, v.anchor, v.address, v.texts[0], v.texts[1], v.texts[2]);
            return overlay.Run();
        });
}
