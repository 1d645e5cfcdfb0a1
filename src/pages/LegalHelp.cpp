#include "pages/LegalHelp.h"

#include "i18n/Localization.h"
#include "pages/WizardPage.h"
#include "ui/FadingPictureButton.h"
#include "platform/ProgramVersion.h"

namespace {

constexpr int kWidth = 540;
constexpr int kMargin = 36;

} // namespace

LegalHelp::LegalHelp(QWidget* inside, QPoint pagePosition)
    : GuideBox(inside, pagePosition)
{
    setObjectName(QStringLiteral("legalHelp"));
    QString title = FromUtf8(Text("about_01", "About [Model Name] Setup Wizard"));
    title.replace(QStringLiteral("[Model Name]"), QStringLiteral("HXT-914Q"));
    int y = 30;
    y = addText(title, kMargin, y, kWidth - 2 * kMargin - 24, 20, true, kGuideBlue);
    y += 6;
    y = addText(
        QString::fromLatin1(kProgramVersion), kMargin, y, kWidth - 2 * kMargin, 14, false, QColor(150, 150, 150));
    y += 18;
    y = addText(FromUtf8(Text("about_02", "")), kMargin, y, kWidth - 2 * kMargin, 12, false, kGuideText);
    y += 24;
    const int buttonY = y;
    y += 43 + 26;
    centreOnPage(kWidth, y);
    AddButton(FromUtf8(Text("Close", "Close")), -1, buttonY, IDOK, kWidth / 2)
        ->setObjectName(QStringLiteral("closeButton"));
}
