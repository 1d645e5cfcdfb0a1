#include "overlays/NoInternetAlert.h"

#include "i18n/Localization.h"
#include "ui/FadingPictureButton.h"

NoInternetAlert::NoInternetAlert(QWidget* inside, QPoint pagePosition)
    : AlertBox(inside, pagePosition, QPoint(210, 200), QSize(440, 240))
{
    setObjectName("noInternetAlert");
    setBadge(3059, QRect(28, 24, 40, 40));
    setTitle(FromUtf8(Text("hddformat_04", "Important Alert")), QRect(80, 24, 330, 40), 20, QColor(226, 76, 60),
        Qt::AlignLeft | Qt::AlignVCenter);
    setMessage(FromUtf8(Text("intro_14",
                   "Please make sure you are connected to the Internet, or you will not allow to use Quelmo service "
                   "without Internet.")),
        QRect(30, 78, 380, 84), 14, QColor(72, 72, 72), Qt::AlignLeft | Qt::AlignVCenter);
    AddButtonPair(FromUtf8(Text("_SKIP", "SKIP")), IDOK, FromUtf8(Text("RETRY", "RETRY")), IDCANCEL, 176);
    findChildren<FadingPictureButton*>().value(0)->setObjectName("skipButton");
    findChildren<FadingPictureButton*>().value(1)->setObjectName("retryButton");
}
