// The guide pages: the language choice of page 1 and its selection when the page is built again, the help
// overlays of page 5 and where they leave the wizard, the device label's MAC text, the frame's NEXT and BACK, and
// the pages' backgrounds as they are kept.

#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/Dimmer.h"
#include "pages/HomePage.h"
#include "pages/CablingPowerPage.h"
#include "pages/CablingNetworkPage.h"
#include "pages/CablingLedPage.h"
#include "pages/RedLedHelp.h"
#include "pages/MacLabelHelp.h"
#include "pages/RequirementsPage.h"
#include "pages/ResetHelp.h"
#include "session/WizardSession.h"
#include "ui/MarkupText.h"
#include "ui/LanguageDropDown.h"
#include "ui/PictureBox.h"
#include "ui/FixedIconHelpLink.h"
#include "ui/PictureButton.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/ProgressDots.h"
#include "ui/PageTitle.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QTest>
#include <memory>

class PagesGuideTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { SelectLanguage(0); }
    void cleanupTestCase() { SelectLanguage(0); }

    void homePageLanguageChoiceSetsTextsAndIsSelectedOnReturn()
    {
        RecordingHost host;
        WizardSession session;
        auto home = std::make_unique<HomePage>(&host, session);
        QCOMPARE(home->languageList()->current(), 0);
        QCOMPARE(home->startButton()->text(), QStringLiteral("START"));

        // The list reports a choice to its combo, which hands it to the page.
        PostWindowMessage(home->languageList(), WM_LANGUAGE_SELECTED, 3);
        QVERIFY(host.take().empty()); // a language choice moves nowhere
        QCOMPARE(LanguageIndex(), 3);
        QCOMPARE(home->startButton()->text(), QString::fromStdString(Text("START", "START")));
        QCOMPARE(home->findChild<MarkupText*>("welcome")->text(), QString::fromStdString(Text("home_01", "")));
        QVERIFY(home->findChild<MarkupText*>("welcome")->text().contains(QStringLiteral("Asistente")));
        QCOMPARE(home->languageList()->current(), 3);

        // A list closed without a choice changes nothing.
        PostWindowMessage(home->languageList(), WM_LANGUAGE_SELECTED, -1);
        host.take();
        QCOMPARE(LanguageIndex(), 3);

        // START, then the next page is in Spanish; back on page 1 the list shows Spanish.
        QTest::mouseClick(home->startButton(), Qt::LeftButton);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        home.reset();
        RequirementsPage requirements(&host, session);
        QCOMPARE(requirements.pageTitle()->text(), QString::fromStdString(Text("home_04", "Requirements")));
        QVERIFY(requirements.pageTitle()->text() != QStringLiteral("Requirements"));
        HomePage again(&host, session);
        QCOMPARE(again.languageList()->current(), 3);
    }

    void homePageListClickChoosesThroughTheDropDown()
    {
        RecordingHost host;
        WizardSession session;
        HomePage home(&host, session);
        home.languageList()->OpenList();
        LanguageDropDown* list = home.languageList()->list();
        QVERIFY(list != nullptr);
        PostWindowMessage(home.languageList(), WM_LANGUAGE_SELECTED, 1); // as a click on row 1 does
        host.take();
        QCOMPARE(LanguageIndex(), 1);
        QCOMPARE(home.languageList()->current(), 1);
        QCOMPARE(home.startButton()->text(), QString::fromStdString(Text("START", "START")));
    }

    void ledHelpEndsWithHomeOnlyAfterReset_data()
    {
        QTest::addColumn<bool>("openReset");
        QTest::addColumn<bool>("pressReset");
        QTest::addColumn<bool>("home");
        QTest::newRow("reset help RESET") << true << true << true;
        QTest::newRow("reset help cross, then LED cross") << true << false << false;
        QTest::newRow("LED help cross") << false << false << false;
    }

    // Each cabling page shows its picture at the picture's own size, centred on the light stage (80, 180, 700 x 320),
    // drawn from pixels fitted to that size.
    // The cabling pages have one background under three numbers: the page that comes paints from the copy the page
    // that goes still holds, kept at one byte a pixel with the very colours of its file. A background of many
    // colours (the welcome page's) stays at four bytes a pixel.
    void pageBackgroundsAreSharedAndCompact()
    {
        const std::optional<QImage> going = LoadBitmapResource(3002, 1.0);
        const std::optional<QImage> coming = LoadBitmapResource(3003, 1.0);
        QVERIFY(going && coming);
        QCOMPARE(coming->cacheKey(), going->cacheKey());
        QCOMPARE(going->format(), QImage::Format_Indexed8);
        QCOMPARE(going->convertToFormat(QImage::Format_RGB32),
            QImage(QStringLiteral(":/bmp/3002.png")).convertToFormat(QImage::Format_RGB32));
        const std::optional<QImage> welcome = LoadBitmapResource(3000, 1.0);
        QVERIFY(welcome);
        QCOMPARE(welcome->format(), QImage::Format_RGB32);
    }

    void cablingPicturesKeepTheirSize()
    {
        RecordingHost host;
        WizardSession session;
        CablingPowerPage power(&host, session);
        CablingNetworkPage ethernet(&host, session);
        CablingLedPage led(&host, session);
        const std::pair<QWidget*, QSize> pages[]
            = { { &power, QSize(550, 240) }, { &ethernet, QSize(522, 301) }, { &led, QSize(300, 235) } };
        for (const auto& [page, size] : pages) {
            page->show(); // as the host shows it: the picture is fitted to its place before it is painted
            const auto* picture = page->findChild<PictureBox*>("illustration");
            QVERIFY(picture != nullptr);
            QCOMPARE(picture->geometry(),
                QRect(QPoint(80 + (700 - size.width()) / 2, 180 + (320 - size.height()) / 2), size));
            QCOMPARE(picture->image().size(), size); // a 1x screen: the 1x picture, not scaled
        }
    }

    // Opened over the LED help, the reset help takes that help's size; its content fills it (the picture grows,
    // drawn from its sharper art) so no empty band is left above RESET, in every language.
    void resetHelpOverTheLedHelpLeavesNoEmptyBand_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 0; language < 6; ++language)
            QTest::newRow(QByteArray::number(language).constData()) << language;
    }

    void resetHelpOverTheLedHelpLeavesNoEmptyBand()
    {
        QFETCH(int, language);
        SelectLanguage(language);
        RecordingHost host;
        const RedLedHelp led(&host, QPoint(0, 0));
        const ResetHelp reset(&host, QPoint(0, 0), 0, led.boxRect());
        QCOMPARE(reset.boxRect(), led.boxRect());
        const QRect content = reset.contentRect();
        const int band = reset.resetButton()->geometry().top() - (content.bottom() + 1);
        QVERIFY2(band >= 24 && band <= 32, qPrintable(QStringLiteral("band of %1 pixels above RESET").arg(band)));
        // On its own it keeps its own size and the picture's; over the LED help the picture grew.
        const ResetHelp alone(&host, QPoint(0, 0), 0);
        QCOMPARE(alone.resetButton()->geometry().top() - (alone.contentRect().bottom() + 1), 24);
        QVERIFY(content.height() > alone.contentRect().height() + 40);
    }

    void ledHelpEndsWithHomeOnlyAfterReset()
    {
        QFETCH(bool, openReset);
        QFETCH(bool, pressReset);
        QFETCH(bool, home);
        RecordingHost host;
        WizardSession session;
        CablingLedPage page(&host, session);
        QCOMPARE(page.ledLink()->overlay(), int(Dimmer::KindLedRed));

        bool resetShown = false;
        WhenShown<RedLedHelp>(this, [&, openReset, pressReset](RedLedHelp* led) {
            if (!openReset) {
                QTest::mouseClick(led->findChild<PictureButton*>("closeCross"), Qt::LeftButton);
                return;
            }
            WhenShown<ResetHelp>(this, [&, led, pressReset](ResetHelp* reset) {
                resetShown = true;
                // Opened from the LED help, it lies over that help, from its top-left corner.
                QCOMPARE(reset->boxRect().topLeft(), led->boxRect().topLeft());
                if (pressReset) {
                    QTest::mouseClick(reset->resetButton(), Qt::LeftButton);
                    return;
                }
                QTest::mouseClick(reset->findChild<PictureButton*>("closeCross"), Qt::LeftButton);
                WhenShown<RedLedHelp>(this, [](RedLedHelp* ledAgain) {
                    QTest::mouseClick(ledAgain->findChild<PictureButton*>("closeCross"), Qt::LeftButton);
                });
            });
            PostWindowMessage(led, WM_LINK_CLICKED);
        });
        // The link's icon asks the page for the LED help.
        QTest::mouseClick(page.ledLink(), Qt::LeftButton, {}, page.ledLink()->linkRect().center());
        QCoreApplication::sendPostedEvents(&page); // the page runs the dimmer until the overlays have ended
        QVERIFY(ModalLayer::Top() == nullptr);
        QCOMPARE(resetShown, openReset);
        const std::vector<RecordedMessage> expected
            = home ? std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_HOME, 0 } } : std::vector<RecordedMessage> {};
        QCOMPARE(host.take(), expected);
    }

    void deviceLabelShowsTheRowMacOrSixteenX()
    {
        QCOMPARE(MacLabelHelp::LabelMac("00:1a:2b:3c:4d:5e", true), std::string("001A2B3C4D5E"));
        QCOMPARE(MacLabelHelp::LabelMac("", false), std::string("xxxxxxxxxxxxxxxx"));
        QCOMPARE(MacLabelHelp::LabelMac("00:1a:2b:3c:4d:5e", false), std::string("xxxxxxxxxxxxxxxx"));

        // Through the dimmer: the label shows what was handed over, and the dimmer ends with OK from the cross.
        RecordingHost host;
        WizardPage page(&host, 6, 3001);
        QString line;
        WhenShown<MacLabelHelp>(this, [&line](MacLabelHelp* label) {
            line = label->macLine();
            QTest::mouseClick(label->findChild<PictureButton*>("closeCross"), Qt::LeftButton);
        });
        OverlayValues values;
        values.text = MacLabelHelp::LabelMac("", false);
        QCOMPARE(page.OpenOverlay(Dimmer::KindMacDisplay, values), int(ModalLayer::IDOK));
        QCOMPARE(line, QStringLiteral("MAC: xxxxxxxxxxxxxxxx"));
    }

    void frameButtonsAreAsWideAsTheWiderText_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Portuguese") << 1;
    }

    void frameButtonsAreAsWideAsTheWiderText()
    {
        QFETCH(int, language);
        SelectLanguage(language);
        RecordingHost host;
        WizardSession session;
        RequirementsPage page(&host, session);
        LayeredPictureButton* next = page.nextButton();
        LayeredPictureButton* back = page.backButton();
        QVERIFY(next->isVisibleTo(&page) && back->isVisibleTo(&page));
        QCOMPARE(next->text(), QString::fromStdString(Text("Next", "NEXT")) + QStringLiteral("   >"));
        QCOMPARE(back->text(), QStringLiteral("<   ") + QString::fromStdString(Text("Back", "BACK")));
        const int w = std::max(next->CaptionWidth(), back->CaptionWidth());
        QCOMPARE(next->geometry(), QRect(448, 536, w + 40, 43));
        QCOMPARE(back->geometry(), QRect(370 - w, 536, w + 40, 43));
        QCOMPARE(page.indicator()->filled(), 1);

        QTest::mouseClick(back, Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(page.minimiseButton(), Qt::LeftButton);
        QTest::mouseClick(page.closeButton(), Qt::LeftButton);
        QCOMPARE(host.take(),
            (std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_BACK, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 },
                { WM_WIZARD_NAV, NAV_MINIMIZE, 0 }, { WM_WIZARD_NAV, NAV_CLOSE, 0 } }));
    }
};

QTEST_MAIN(PagesGuideTest)
#include "pages_guide_test.moc"
