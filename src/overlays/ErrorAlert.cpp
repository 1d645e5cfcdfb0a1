#include "overlays/ErrorAlert.h"

#include "i18n/Localization.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"

ErrorAlert::ErrorAlert(QWidget* inside, QPoint pagePosition, const std::string& errorText, int retryResult)
    : AlertBox(inside, pagePosition, QPoint(210, 210), QSize(440, 220))
{
    setObjectName("errorAlert");
    const QString text
        = FromUtf8(errorText.empty() ? Text("Check Network Failed!", "Check Network Failed!") : errorText);
    setBadge(3057, QRect(195, 26, 50, 50));
    setMessage(text, QRect(30, 88, 380, 56), 16, QColor(72, 72, 72), Qt::AlignHCenter | Qt::AlignVCenter);
    if (retryResult != 0) {
        AddButtonPair(FromUtf8(Text("Close", "Close")), IDOK, FromUtf8(Text("RETRY", "RETRY")), retryResult, 154);
        findChildren<FadingPictureButton*>().value(0)->setObjectName("closeButton");
        findChildren<FadingPictureButton*>().value(1)->setObjectName("retryButton");
    } else {
        AddButton(FromUtf8(Text("Close", "Close")), -1, 154, IDOK, 220)->setObjectName("closeButton");
    }
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}
