#include "pages/RedLedHelp.h"

#include "i18n/Localization.h"
#include "pages/ResetHelp.h"
#include "ui/SmallLink.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QFontMetrics>
#include <QPointer>

namespace {

constexpr int kWidth = 620;
constexpr int kMargin = 32;

} // namespace

RedLedHelp::RedLedHelp(QWidget* inside, QPoint pagePosition)
    : GuideBox(inside, pagePosition)
{
    setObjectName(QStringLiteral("redLedHelp"));
    const int textWidth = kWidth - 2 * kMargin;
    int y = 28;
    y = addText(FromUtf8(Text("intro_05", "What should I do if the LED light stays red ?")), kMargin, y, textWidth - 30,
        20, true, kGuideBlue);
    y += 14;
    const QRect picture = addPicture(4020, (kWidth - 365) / 2, y);
    y = picture.bottom() + 1 + 14;
    y = addText(FromUtf8(Text("intro_06",
                    "Your HXT-914Q is not receiving an IP address from your router. Please check the following:")),
        kMargin, y, textWidth, 14, true, kGuideText);
    y += 10;
    const char* points[][2] = {
        { "intro_07", "Make sure the Ethernet cable connecting your HXT-914Q to your router is properly connected." },
        { "intro_08",
            "Restart your HXT-914Q by unplugging the power cable from the device and plugging it back in again." },
        { "intro_09", "If the LED is still red, reset the HXT-914Q to factory default settings." },
    };
    for (const auto& point : points)
        y = addBullet(FromUtf8(Text(point[0], point[1])), kMargin, y, textWidth, 14, kGuideText) + 6;
    y += 8;
    const int linkY = y;
    y += 22 + 28;
    centreOnPage(kWidth, y);

    link = new SmallLink(this);
    link->setObjectName(QStringLiteral("resetLink"));
    link->SetStyle();
    link->setFontFields(link->fontFamily(), 14, MakeRgb(42, 169, 209), false);
    link->SetText(FromUtf8(Text("intro_10", "How to reset your HXT-914Q")));
    link->setGeometry(box.x() + kMargin + 18, box.y() + linkY, textWidth - 18, 22);
    link->MakeLink();
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}

bool RedLedHelp::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        if (message->message() == WM_LINK_CLICKED)
            OpenResetHelp();
        return true;
    }
    return GuideBox::event(event);
}

void RedLedHelp::OpenResetHelp()
{
    if (!IsRunning())
        return;
    QPointer<RedLedHelp> alive(this);
    ResetHelp reset(this, pageOrigin(), 0, box);
    const int result = reset.Run();
    if (alive && result == IDOK)
        End(IDOK);
}
