#include "pages/GuideOverlays.h"

#include "overlays/Dimmer.h"
#include "pages/LegalHelp.h"
#include "pages/RedLedHelp.h"
#include "pages/MacLabelHelp.h"
#include "pages/ResetHelp.h"
#include "pages/TermsHelp.h"

void RegisterGuideOverlays()
{
    Dimmer::RegisterOverlay(
        Dimmer::KindAbout, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            LegalHelp overlay(dimmer, page);
            return overlay.Run();
        });
    Dimmer::RegisterOverlay(
        Dimmer::KindLedRed, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            RedLedHelp overlay(dimmer, page);
            return overlay.Run();
        });
    Dimmer::RegisterOverlay(
        Dimmer::KindReset, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            ResetHelp overlay(dimmer, page, v.mode);
            return overlay.Run();
        });
    Dimmer::RegisterOverlay(
        Dimmer::KindMacDisplay, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            MacLabelHelp overlay(dimmer, page, v.text);
            return overlay.Run();
        });
    Dimmer::RegisterOverlay(
        Dimmer::KindTerms, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            TermsHelp overlay(dimmer, page);
            return overlay.Run();
        });
}
