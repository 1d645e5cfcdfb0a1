#include "overlays/CNoDevicePage.h"

#include "i18n/Localization.h"
#include "ui/COrselButton.h"

CNoDevicePage::CNoDevicePage(QWidget* inside, QPoint pagePosition)
    : AlertBox(inside, pagePosition, QPoint(130, 120), QSize(600, 380))
{
    setObjectName("noDevicePage");
    setTitle(FromUtf8(Text("nvrsearch_06", "Can not find your NVR")), QRect(40, 14, 520, 34), 20, QColor(42, 169, 209),
        Qt::AlignHCenter | Qt::AlignVCenter);
    setMessage(FromUtf8(Text("nvrsearch_07",
                   "Please make sure the Ethernet cable is connected to your HXT-914Q and router's LAN port.")),
        QRect(40, 50, 520, 46), 14, QColor(72, 72, 72), Qt::AlignHCenter | Qt::AlignTop);
    setPicture(4071, QRect((600 - 575) / 2, 100, 575, 270));
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}
