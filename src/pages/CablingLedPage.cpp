#include "pages/CablingLedPage.h"

#include "overlays/AlertBox.h"
#include "i18n/Localization.h"
#include "ui/FixedIconHelpLink.h"
#include "ui/Drawing.h"

#include "ui/Messages.h"
#include <QFontMetrics>
#include <algorithm>

CablingLedPage::CablingLedPage(QWidget* host, WizardSession&)
    : GuidePage(host, 5, 3004, FromUtf8(Text("intro_01", "Connect your device")), QString(), 16, 0xFF484848u, 4073)
{
    // One line with the question-mark icon right after its end; the icon opens the red-LED help.
    link = new FixedIconHelpLink(this);
    link->setObjectName(QStringLiteral("ledLink"));
    link->setGeometry(72, 118, 716, 32);
    link->SetFont(16, MakeRgb(72, 72, 72));
    link->SetIcon(4012);
    link->setOverlayKind(Dimmer::KindLedRed);
    const QString text
        = FromUtf8(Text("intro_04", "After the LED on the top of the HXT-914Q turns blue, click \"Next\"."));
    link->SetText(text);
    const int textWidth
        = QFontMetrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 16, false)).horizontalAdvance(text);
    link->setIconPos(std::min(textWidth + 10, 716 - 22), 5);
}

void CablingLedPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (message == WM_OPEN_OVERLAY) {
        if (OpenOverlay(static_cast<int>(wParam)) == ModalLayer::IDOK)
            PostToHost(WM_WIZARD_NAV, NAV_HOME); // the recorder was reset: start again
        return;
    }
    GuidePage::onMessage(message, wParam, lParam);
}
