#include "pages/GuidePage.h"

#include "ui/MarkupText.h"
#include "ui/PictureBox.h"

GuidePage::GuidePage(QWidget* host, int pageNumber, int backgroundId, const QString& title, const QString& body,
    int bodySize, Argb bodyColour, int pictureId)
    : WizardPage(host, pageNumber, backgroundId)
{
    SetTitle(title);
    ShowNavButtons(true, true);
    if (!body.isEmpty()) {
        bodyText = new MarkupText(this);
        bodyText->setObjectName(QStringLiteral("body"));
        bodyText->setGeometry(72, 118, 716, 10);
        bodyText->SetFont(bodySize, bodyColour);
        bodyText->setCharWrap(ChineseText());
        bodyText->SetText(body);
        bodyText->resize(716, bodyText->MeasureHeight() + 6);
    }
    if (pictureId > 0) {
        picture = new PictureBox(this);
        picture->setObjectName(QStringLiteral("illustration"));
        picture->SetImage(pictureId);
        const QSize size = picture->pictureSize();
        // Centred on the light stage of the background (80, 180, 700 x 320).
        picture->setGeometry(
            80 + (700 - size.width()) / 2, 180 + (320 - size.height()) / 2, size.width(), size.height());
    }
}
