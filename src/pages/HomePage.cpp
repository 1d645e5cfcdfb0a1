#include "pages/HomePage.h"

#include "i18n/LanguageTable.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "ui/AccessibleControls.h"
#include "ui/MarkupText.h"
#include "ui/LanguageDropDown.h"
#include "ui/LayeredPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/TextLabel.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <algorithm>

namespace {

constexpr int kLeft = 72;
constexpr int kTextWidth = 380; // the picture of the background starts at x 470

} // namespace

HomePage::HomePage(QWidget* host, WizardSession&)
    : WizardPage(host, 1, 3000)
{
    welcome = new MarkupText(this);
    welcome->setObjectName(QStringLiteral("welcome"));

    languageLabel = new TextLabel(this);
    languageLabel->setObjectName(QStringLiteral("languageLabel"));

    languages = new LanguageCombo(this);
    languages->setObjectName(QStringLiteral("languageList"));
    languages->SetStyle();
    SetAccessibleText(languages, "a11y_language", "Language");
    for (int i = 0; i < LanguageTable::kCount; ++i)
        languages->AddItem(QString::fromUtf8(LanguageTable::Entry(i).label));
    const int index = LanguageIndex();
    languages->SetCurrent(index >= 0 && index < LanguageTable::kCount ? index : 0);

    note = new MarkupText(this);
    note->setObjectName(QStringLiteral("note"));

    start = new LayeredPictureButton(this);
    start->setObjectName(QStringLiteral("start"));
    start->SetImage(0, 3045);
    start->SetImage(1, 3042);
    start->SetImage(2, 3044);
    start->SetImage(3, 3043);
    connect(start, &QAbstractButton::clicked, this, [this] { PostToHost(WM_WIZARD_NAV, NAV_NEXT); });

    SetTexts();
}

void HomePage::SetTexts()
{
    SetTextLanguage(LanguageIndex());
    const bool chinese = ChineseText();
    RetranslateFrame();

    int y = 100;
    welcome->setGeometry(kLeft, y, kTextWidth, 10);
    welcome->SetFont(22, 0xFF484848u);
    welcome->setCharWrap(chinese);
    welcome->setLineHeight(0);
    welcome->SetText(FromUtf8(Text("home_01",
        "Welcome to the Veskor NVR(HXT-914Q) Setup Wizard. This wizard will guide you through the setup of your "
        "Veskor NVR device.")));
    welcome->setLineHeight(32);
    const int welcomeHeight = welcome->MeasureHeight();
    welcome->resize(kTextWidth, welcomeHeight + 8);
    y += welcomeHeight + 30;

    languageLabel->SetFont(16, MakeRgb(72, 72, 72), true);
    languageLabel->SetText(FromUtf8(Text("home_02", "Select your Language:")));
    languageLabel->setGeometry(kLeft, y, kTextWidth, 24);
    y += 32;
    languages->setGeometry(kLeft, y, 260, 40);
    y += 40 + 30;

    // The note's text begins with its own label in every pack; the label is drawn once, in the blue.
    const QString label = FromUtf8(Text("home_06", "Note:"));
    QString text = FromUtf8(Text("home_03",
        "Note: Ensure that cameras have been installed on the network before initiating the HXT-914Q Setup Wizard."));
    if (!label.isEmpty() && text.startsWith(label))
        text = text.mid(label.size()).trimmed();
    note->setGeometry(kLeft, y, kTextWidth, 10);
    note->SetFont(13, 0xFF808080u);
    note->setCharWrap(chinese);
    note->setPrefix(true, label + QStringLiteral("  "), 0xFF2AA9D1u);
    note->setLineHeight(0);
    note->SetText(text);
    note->setLineHeight(20);
    note->resize(kTextWidth, note->MeasureHeight() + 6);

    start->setText(FromUtf8(Text("START", "START")));
    const int width = std::max(160, start->CaptionWidth() + 40);
    start->setGeometry(430 - width / 2, 536, width, 43);
    update();
}

void HomePage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (message == WM_LANGUAGE_SELECTED) {
        const int index = static_cast<int>(wParam);
        if (index < 0)
            return; // the list closed without a choice
        SelectLanguage(index);
        SetTexts();
        return;
    }
    WizardPage::onMessage(message, wParam, lParam);
}
