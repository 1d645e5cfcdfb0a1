#include "pages/CResetPage.h"

#include "i18n/Localization.h"
#include "ui/COrselButton4.h"

#include <algorithm>

namespace {

constexpr int kWidth = 620;
constexpr int kMargin = 32;

} // namespace

CResetPage::CResetPage(QWidget* inside, QPoint pagePosition, int mode, QRect over)
    : GuideBox(inside, pagePosition)
    , modeNumber(mode)
{
    setObjectName(QStringLiteral("resetPage"));
    int y = 28;
    y = addText(
        FromUtf8(Text("intro_11", "Reset your NVR")), kMargin, y, kWidth - 2 * kMargin - 30, 20, true, kGuideBlue);
    y += 20;
    const QRect picture = addPicture(4068, kMargin, y);
    const int textLeft = picture.right() + 1 + 28;
    const int textBottom = addText(FromUtf8(Text("intro_12",
                                       "Use a paperclip to press and hold the reset button for 10 seconds. After "
                                       "resetting your NVR, click \"RESET\" to continue.")),
        textLeft, y + 16, kWidth - kMargin - textLeft, 15, false, kGuideText);
    y = std::max(picture.bottom() + 1, textBottom) + 24;
    int height = y + 43 + 26;
    if (over.isValid()) {
        height = std::max(height, over.height());
        placeBox(over.topLeft(), std::max(kWidth, over.width()), height);
    } else {
        centreOnPage(kWidth, height);
    }
    const int buttonY = height - 43 - 26;
    reset = AddButton(FromUtf8(Text("RESET", "RESET")), -1, buttonY, IDOK, box.width() / 2);
    reset->setObjectName(QStringLiteral("resetButton"));
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}
