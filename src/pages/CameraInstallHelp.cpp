#include "pages/CameraInstallHelp.h"

#include "i18n/Localization.h"

CameraInstallHelp::CameraInstallHelp(QWidget* inside, QPoint pagePosition)
    : GuideBox(inside, pagePosition)
{
    setObjectName(QStringLiteral("cameraInstallHelp"));
    placeBox(pagePosition + QPoint(160, 120), kWidth, kHeight);
    addText(FromUtf8(Text("camsearch_07", "How to install your network camera?")), 52, 38, 486 - 52, 18, true,
        QColor(68, 68, 68));
    const int textBottom = addText(
        FromUtf8(Text("camsearch_04", "Please connect the ethernet cable from your network camera to your router.")),
        54, 76, 491 - 54, 14, false, QColor(0x66, 0x66, 0x66));
    const QRect where = PictureRect(textBottom - 76, LanguageIndex());
    addPicture(4069, where.x(), where.y(), where.size());
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}

QRect CameraInstallHelp::PictureRect(int textHeight, int languageIndex)
{
    const int y = textHeight + 100 - (languageIndex == 1 ? 19 : 0);
    return QRect(79, y, 400, 222);
}
