#include "overlays/CErrorPage.h"

#include "i18n/Localization.h"
#include "ui/COrselButton.h"
#include "ui/COrselButton4.h"

CErrorPage::CErrorPage(QWidget* inside, QPoint pagePosition, const std::string& errorText)
    : AlertBox(inside, pagePosition, QPoint(210, 210), QSize(440, 220))
{
    setObjectName("errorPage");
    const QString text
        = FromUtf8(errorText.empty() ? Text("Check Network Failed!", "Check Network Failed!") : errorText);
    setBadge(3057, QRect(195, 26, 50, 50));
    setMessage(text, QRect(30, 88, 380, 56), 16, QColor(72, 72, 72), Qt::AlignHCenter | Qt::AlignVCenter);
    AddButton(FromUtf8(Text("Close", "Close")), -1, 154, IDOK, 220)->setObjectName("closeButton");
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}
