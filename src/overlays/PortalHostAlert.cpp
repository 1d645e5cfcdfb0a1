#include "overlays/PortalHostAlert.h"

#include "i18n/Localization.h"
#include "ui/DeviceText.h"
#include "ui/Drawing.h"
#include "ui/FadingPictureButton.h"
#include "ui/PictureButton.h"

#include <QFontMetrics>

namespace {

constexpr int kMessageWidth = 380;

} // namespace

PortalHostAlert::PortalHostAlert(QWidget* inside, QPoint pagePosition, const std::string& portalHost)
    : AlertBox(inside, pagePosition, QPoint(210, 190), QSize(440, 260))
{
    setObjectName("portalHostAlert");
    // The recorder chose the name: plain text, one line, shortened in the middle when it is long.
    const QFontMetrics metrics(MakeFont(ChooseFontFamily("Verdana"), 14, false));
    const QString host = metrics.elidedText(ShownDeviceText(portalHost), Qt::ElideMiddle, kMessageWidth);
    setBadge(3059, QRect(28, 24, 40, 40));
    setTitle(FromUtf8(Text("veskor_host_01", "Unknown portal")), QRect(80, 24, 330, 40), 20, QColor(226, 76, 60),
        Qt::AlignLeft | Qt::AlignVCenter);
    const QString text = FromUtf8(Text("veskor_host_02",
        "The NVR names {0} as its Quelmo portal, which is not one of Quelmo's own. Your e-mail address, your Quelmo "
        "password and the NVR's password would be sent there. Send them?",
        host.toUtf8().toStdString()));
    setMessage(text, QRect(30, 72, kMessageWidth, 120), 14, QColor(72, 72, 72), Qt::AlignLeft | Qt::AlignVCenter);
    AddButtonPair(FromUtf8(Text("veskor_host_03", "SEND")), IDOK, FromUtf8(Text("_CANCEL", "CANCEL")), IDCANCEL, 198);
    findChildren<FadingPictureButton*>().value(0)->setObjectName("sendButton");
    findChildren<FadingPictureButton*>().value(1)->setObjectName("cancelButton");
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}
