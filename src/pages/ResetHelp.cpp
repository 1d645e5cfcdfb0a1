#include "pages/ResetHelp.h"

#include "i18n/Localization.h"
#include "ui/FadingPictureButton.h"

#include <algorithm>

namespace {

constexpr int kWidth = 620;
constexpr int kMargin = 32;
constexpr QSize kPicture(157, 156); // PNG 4068 at its own size; its 2x art allows twice that
constexpr int kPictureGap = 28; // between the picture and the text beside it

} // namespace

ResetHelp::ResetHelp(QWidget* inside, QPoint pagePosition, int mode, QRect over)
    : GuideBox(inside, pagePosition)
    , modeNumber(mode)
{
    setObjectName(QStringLiteral("resetHelp"));
    const int titleBottom = addText(
        FromUtf8(Text("intro_11", "Reset your NVR")), kMargin, 28, kWidth - 2 * kMargin - 30, 20, true, kGuideBlue);
    const QString text = FromUtf8(Text("intro_12",
        "Use a paperclip to press and hold the reset button for 10 seconds. After resetting your NVR, click "
        "\"RESET\" to continue."));
    // The picture with the text beside it, for a picture of that height (its width follows): their size.
    const auto content = [&text](int pictureHeight) {
        const int pictureWidth = (kPicture.width() * pictureHeight + kPicture.height() / 2) / kPicture.height();
        const int textLeft = kMargin + pictureWidth + kPictureGap;
        const int textHeight = TextHeight(text, kWidth - kMargin - textLeft, 15, false);
        return QSize(pictureWidth, std::max(pictureHeight, 16 + textHeight));
    };
    const int around = titleBottom + 20 + 24 + 43 + 26; // everything but the picture and its text
    int pictureHeight = kPicture.height();
    int height = around + content(pictureHeight).height();
    int spare = 0;
    if (over.isValid() && over.height() > height) {
        // Over a taller help the box keeps that help's size: the picture grows into the room (drawn from its 2x
        // art, at most twice its size) instead of leaving an empty band above RESET; what little is left is shared
        // above and below it.
        while (
            pictureHeight + 2 <= 2 * kPicture.height() && around + content(pictureHeight + 2).height() <= over.height())
            pictureHeight += 2;
        height = over.height();
        spare = height - around - content(pictureHeight).height();
    }
    const int y = titleBottom + 20 + spare / 2;
    const QRect picture = addPicture(4068, kMargin, y, QSize(content(pictureHeight).width(), pictureHeight));
    const int textLeft = picture.right() + 1 + kPictureGap;
    addText(text, textLeft, y + 16 + (pictureHeight - kPicture.height()) / 2, kWidth - kMargin - textLeft, 15, false,
        kGuideText);
    if (over.isValid())
        placeBox(over.topLeft(), std::max(kWidth, over.width()), height);
    else
        centreOnPage(kWidth, height);
    const int buttonY = height - 43 - 26;
    reset = AddButton(FromUtf8(Text("RESET", "RESET")), -1, buttonY, IDOK, box.width() / 2);
    reset->setObjectName(QStringLiteral("resetButton"));
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}
