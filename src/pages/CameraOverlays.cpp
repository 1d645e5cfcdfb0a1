#include "pages/CameraOverlays.h"

#include "overlays/CTransparentPage.h"
#include "pages/CInstallCamPage.h"
#include "pages/CPreviewPage.h"

void RegisterCameraOverlays()
{
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindInstallCam, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            CInstallCamPage overlay(dimmer, page);
            return overlay.Run();
        });
    // Values: address (with or without ":port"), texts[0] account, texts[1] password, texts[2] the description
    // shown, anchor; `value` (the camera's datagram flag) is not needed here.
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindPreview, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            CPreviewPage overlay(dimmer, page, v.anchor, v.address, v.texts[0], v.texts[1], v.texts[2]);
            return overlay.Run();
        });
}
