#include "pages/GuideOverlays.h"

#include "overlays/CTransparentPage.h"
#include "pages/CAboutPage.h"
#include "pages/CLEDRedPage.h"
#include "pages/CMacDisplayPage.h"
#include "pages/CResetPage.h"
#include "pages/CTermPage.h"

void RegisterGuideOverlays()
{
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindAbout, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            CAboutPage overlay(dimmer, page);
            return overlay.Run();
        });
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindLedRed, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            CLEDRedPage overlay(dimmer, page);
            return overlay.Run();
        });
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindReset, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            CResetPage overlay(dimmer, page, v.mode);
            return overlay.Run();
        });
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindMacDisplay, [](QWidget* dimmer, QPoint page, const OverlayValues& v) {
            CMacDisplayPage overlay(dimmer, page, v.text);
            return overlay.Run();
        });
    CTransparentPage::RegisterOverlay(
        CTransparentPage::KindTerms, [](QWidget* dimmer, QPoint page, const OverlayValues&) {
            CTermPage overlay(dimmer, page);
            return overlay.Run();
        });
}
