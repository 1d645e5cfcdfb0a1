// The time-zone and disk pages without a recorder: the zone list and box as the user works them (the zone changes
// only by the user's hand, out-of-range zones select nothing, a click that closes the list does not drag the
// wizard, type-ahead), failures that need no network (a connection that cannot even be prepared), what the disk
// page makes of storage reports, and the order of the messages each page posts.

#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/DiskAlert.h"
#include "overlays/ErrorAlert.h"
#include "overlays/WaitingBox.h"
#include "pages/DiskPage.h"
#include "pages/TimeZonePage.h"
#include "pages/ZoneListBox.h"
#include "session/WizardContext.h"
#include "ui/ErrorLine.h"
#include "ui/PictureSwitch.h"
#include "ui/BusyIndicator.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/RoundedFrame.h"
#include "ui/Messages.h"

#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <memory>

namespace {

const std::vector<std::string> kZones = {
    "(GMT-12:00) International Date Line West",
    "(GMT-08:00) Pacific Time (US & Canada)",
    "(GMT) Coordinated Universal Time",
    "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna",
    "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris",
    "(GMT+02:00) Athens, Bucharest",
    "(GMT+03:00) Moscow, St. Petersburg",
    "(GMT+03:00) Москва, Санкт-Петербург",
    "(GMT+05:30) Chennai, Kolkata, Mumbai, New Delhi",
    "(GMT+08:00) Beijing, Chongqing, Hong Kong, Urumqi",
    "(GMT+09:00) Osaka, Sapporo, Tokyo",
    "(GMT+10:00) Canberra, Melbourne, Sydney",
};

QString Name(int zone)
{
    return QString::fromStdString(kZones[static_cast<size_t>(zone - 1)]);
}

void ClickRow(ZoneListBox* list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// The zone box shows a name whole, or cut with "..." where it does not fit.
bool ShowsName(const QString& shown, const QString& name)
{
    return shown == name || (shown.endsWith(QChar(0x2026)) && name.startsWith(shown.chopped(1)));
}

void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Storage flags as the watch publishes them.
struct Ports
{
    std::atomic<int32_t> ready[2] = { 0, 0 };
    std::atomic<int32_t> plugged[2] = { 0, 0 };

    void Report(QWidget* page, bool plugged0, bool ready0, bool plugged1, bool ready1)
    {
        plugged[0] = plugged0;
        ready[0] = ready0;
        plugged[1] = plugged1;
        ready[1] = ready1;
        PostWindowMessage(
            page, WM_STORAGE_CHANGED, reinterpret_cast<intptr_t>(ready), reinterpret_cast<intptr_t>(plugged));
        QCoreApplication::sendPostedEvents(page);
    }
};

using Messages = std::vector<RecordedMessage>;

} // namespace

class PagesZoneDiskTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WizardContext> context;
    std::unique_ptr<RecordingHost> host;

    std::unique_ptr<TimeZonePage> zonePage(int currentZone)
    {
        auto page = std::make_unique<TimeZonePage>(host.get(), *context, false);
        page->show();
        page->ShowZones(kZones, currentZone);
        return page;
    }

private slots:
    void init()
    {
        SelectLanguage(0);
        context = std::make_unique<WizardContext>(std::function<void()>(), std::function<void()>());
        host = std::make_unique<RecordingHost>();
    }

    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
        host.reset();
        context.reset();
    }

    void zoneChangesOnlyByTheUsersHand()
    {
        auto page = zonePage(5);
        ZoneListBox* list = page->zoneList();
        QSignalSpy chosen(list, &ZoneListBox::zoneChosen);
        QCOMPARE(page->selectedZone(), 5);
        QCOMPARE(page->zoneBox()->text(), Name(5));
        QCOMPARE(list->currentRow(), 4);

        // Filling the list again (clearing it first) and selecting the recorder's zone announce nothing.
        page->ShowZones(kZones, 9);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(page->selectedZone(), 9);

        // The box opens the list with the zone's row in view; the user's rows change the zone.
        QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
        QVERIFY(list->isVisible());
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(8)).center()));
        ClickRow(list, 0);
        QCOMPARE(page->selectedZone(), 1);
        QCOMPARE(page->zoneBox()->text(), Name(1));
        QVERIFY(list->isVisible()); // it stays open until the page is clicked
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(page->selectedZone(), 2);
        QCOMPARE(page->zoneBox()->text(), Name(2)); // "&" is text, not a mnemonic
        QVERIFY(host->take().empty());
    }

    void zoneOutsideTheListSelectsNothing_data()
    {
        QTest::addColumn<int>("zone");
        QTest::newRow("0") << 0;
        QTest::newRow("negative") << -3;
        QTest::newRow("one past the last") << int(kZones.size()) + 1;
    }

    void zoneOutsideTheListSelectsNothing()
    {
        QFETCH(int, zone);
        auto page = zonePage(zone);
        QCOMPARE(page->selectedZone(), -1);
        QCOMPARE(page->zoneBox()->text(), QString());
        QCOMPARE(page->zoneList()->currentRow(), -1);

        // A list view given the focus without a current row makes one current by itself: that is no choice.
        QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(page->zoneList(), &focus);
        QCOMPARE(page->selectedZone(), -1);
        QCOMPARE(page->zoneBox()->text(), QString());

        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QVERIFY(page->errorLine()->isVisible());
        QCOMPARE(page->errorLine()->text(), QString::fromStdString(Text("SetupTimeZone_error", "")));
        QVERIFY(!page->zoneList()->isVisible());
        QVERIFY(!page->busy());
        QVERIFY(host->take().empty()); // nothing is sent, nothing moves
    }

    void clickThatClosesTheListDoesNotDragTheWizard()
    {
        auto page = zonePage(3);
        QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
        QVERIFY(page->zoneList()->isVisible());
        QTest::mousePress(page.get(), Qt::LeftButton, {}, QPoint(100, 470));
        QTest::mouseMove(page.get(), QPoint(160, 500));
        QTest::mouseRelease(page.get(), Qt::LeftButton, {}, QPoint(160, 500));
        QVERIFY(!page->zoneList()->isVisible());
        QVERIFY(host->take().empty());

        // With the list closed the same gesture drags the wizard.
        QTest::mousePress(page.get(), Qt::LeftButton, {}, QPoint(100, 470));
        QTest::mouseMove(page.get(), QPoint(160, 500));
        QTest::mouseRelease(page.get(), Qt::LeftButton, {}, QPoint(160, 500));
        const Messages moves = host->take();
        QVERIFY(!moves.empty());
        QCOMPARE(moves.front().message, WM_WIZARD_MOVE);
    }

    void typingInTheOpenListFindsAPlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("zone");
        QTest::newRow("start of a place") << QStringLiteral("mos") << 7;
        QTest::newRow("a later word of a place") << QStringLiteral("ber") << 4;
        QTest::newRow("the offset") << QStringLiteral("(GMT+05") << 9;
        QTest::newRow("Cyrillic") << QStringLiteral("Мос") << 8;
        QTest::newRow("the same letter again moves on") << QStringLiteral("cc") << 9;
        QTest::newRow("nothing fits") << QStringLiteral("xq") << 3;
    }

    void typingInTheOpenListFindsAPlace()
    {
        QFETCH(QString, typed);
        QFETCH(int, zone);
        auto page = zonePage(3);
        QTest::mouseClick(page->zoneBox(), Qt::LeftButton);
        Type(page->zoneList(), typed);
        QCOMPARE(page->selectedZone(), zone);
        QVERIFY(ShowsName(page->zoneBox()->text(), Name(zone)));
        const QRect row = page->zoneList()->visualItemRect(page->zoneList()->item(zone - 1));
        QVERIFY(page->zoneList()->viewport()->rect().contains(row.center()));
    }

    void longNamesAreElided()
    {
        const QString name = Name(4) + QStringLiteral(" and a great many more places besides");
        const QString shown = ZoneListBox::ElidedName(name, 300);
        QVERIFY(shown.size() < name.size());
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QCOMPARE(ZoneListBox::ElidedName(Name(3), 10000), Name(3));
    }

    void backStartsTheProbeBeforeGoingBack()
    {
        auto page = zonePage(3);
        QTest::mouseClick(page->backButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_START_LOGIN_PROBE, 0, 0 }, { WM_WIZARD_NAV, NAV_BACK, 0 } }));
    }

    // No address: the connection cannot even be prepared. That is a failure, shown over the waiting box, with a
    // RETRY that reads again; closed, it leaves NEXT disabled.
    void listThatCannotBeReadShowsTheErrorOverTheWaitingBox()
    {
        TimeZonePage page(host.get(), *context);
        page.show();
        int errors = 0;
        bool waitingBelow = false;
        std::function<void(ErrorAlert*)> answer = [&](ErrorAlert* error) {
            ++errors;
            for (WaitingBox* box : host->findChildren<WaitingBox*>())
                waitingBelow = waitingBelow || box->IsRunning();
            QCOMPARE(error->message(), QString::fromStdString(Text("Check Network Failed!", "")));
            auto* retry = error->findChild<FadingPictureButton*>("retryButton");
            QVERIFY(retry != nullptr);
            if (errors == 1) {
                WhenShown<ErrorAlert>(this, answer);
                QTest::mouseClick(retry, Qt::LeftButton);
            } else {
                QTest::mouseClick(error->findChild<FadingPictureButton*>("closeButton"), Qt::LeftButton);
            }
        };
        WhenShown<ErrorAlert>(this, answer);
        QTRY_COMPARE_WITH_TIMEOUT(errors, 2, 5000);
        QTRY_VERIFY(ModalLayer::Top() == nullptr);
        QVERIFY(waitingBelow);
        QVERIFY(!page.nextButton()->isEnabled());
        QCOMPARE(page.selectedZone(), -1);
        QVERIFY(host->take().empty());
    }

    // A failed setting offers RETRY, which sets the zone again; closed, the page stays and NEXT tries again.
    void settingThatCannotStartStaysAndMayBeTriedAgain()
    {
        auto page = zonePage(3);
        int shown = 0;
        std::function<void(ErrorAlert*)> answer = [&](ErrorAlert* error) {
            ++shown;
            auto* retry = error->findChild<FadingPictureButton*>("retryButton");
            QVERIFY(retry != nullptr);
            if (shown == 1) {
                WhenShown<ErrorAlert>(this, answer);
                QTest::mouseClick(retry, Qt::LeftButton);
            } else {
                QTest::mouseClick(error->findChild<FadingPictureButton*>("closeButton"), Qt::LeftButton);
            }
        };
        WhenShown<ErrorAlert>(this, answer);
        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shown, 2, 5000);
        QTRY_VERIFY(ModalLayer::Top() == nullptr);
        QTRY_VERIFY(!page->busy());
        QVERIFY(page->nextButton()->isEnabled());
        QVERIFY(host->take().empty());
    }

    void diskPictureFollowsTheReports_data()
    {
        QTest::addColumn<bool>("plugged0");
        QTest::addColumn<bool>("plugged1");
        QTest::addColumn<int>("picture");
        QTest::newRow("none") << false << false << 0;
        QTest::newRow("HD1") << true << false << 1;
        QTest::newRow("HD2") << false << true << 2;
        QTest::newRow("both") << true << true << 3;
    }

    void diskPictureFollowsTheReports()
    {
        QFETCH(bool, plugged0);
        QFETCH(bool, plugged1);
        QFETCH(int, picture);
        DiskPage page(host.get(), *context);
        page.show();
        auto* ports = page.findChild<PictureSwitch*>("ports");
        auto* checking = page.findChild<BusyIndicator*>("checking");
        QVERIFY(!page.storageKnown());
        QVERIFY(checking->isVisible()); // not "no disk" before the watch has said anything
        QCOMPARE(ports->index(), -1);
        Ports flags;
        flags.Report(&page, plugged0, false, plugged1, false);
        QVERIFY(page.storageKnown());
        QVERIFY(!checking->isVisible());
        QCOMPARE(ports->index(), picture);
    }

    void skipAndBackStopTheWatchBeforeMoving()
    {
        DiskPage page(host.get(), *context);
        page.show();
        QVERIFY(page.skipButton()->isVisible());
        QVERIFY(page.backButton()->geometry().right() < page.skipButton()->x());
        QVERIFY(page.skipButton()->geometry().right() < page.nextButton()->x());
        QTest::mouseClick(page.skipButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_STORAGE_WATCH, 1, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        QTest::mouseClick(page.backButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_STORAGE_WATCH, 1, 0 }, { WM_WIZARD_NAV, NAV_BACK, 0 } }));
    }

    // NEXT before the first report waits for it in the checking box; a report without a disk then says so.
    void nextWaitsForTheFirstReportThenFindsNoDisk()
    {
        DiskPage page(host.get(), *context);
        page.show();
        Ports flags;
        int checkingMode = -1;
        QString alarm;
        WhenShown<WaitingBox>(this, [&](WaitingBox* box) {
            checkingMode = box->mode();
            WhenShown<DiskAlert>(this, [&](DiskAlert* noDisk) {
                alarm = noDisk->title();
                QTest::mouseClick(noDisk->findChild<FadingPictureButton*>("okButton"), Qt::LeftButton);
            });
            flags.Report(&page, false, false, false, false);
        });
        QTest::mouseClick(page.nextButton(), Qt::LeftButton);
        QTRY_VERIFY(!alarm.isEmpty());
        QCOMPARE(checkingMode, int(WaitingBox::HddCheck));
        QCOMPARE(alarm, QString::fromStdString(Text("hddformat_06 ", "No HD Found")));
        QVERIFY(host->take().empty());
    }

    // A port whose answer could not be read is not "No HD Found": the box says so and offers RETRY, which starts
    // the watch again and decides on its first report (a disk this time).
    void unreadableDiskAnswerIsNotNoDisk()
    {
        DiskPage page(host.get(), *context);
        page.show();
        Ports flags;
        context->Storage().unreadable[1].store(1);
        flags.Report(&page, false, false, false, false);
        QString error;
        bool retryOffered = false;
        WhenShown<ErrorAlert>(this, [&](ErrorAlert* box) {
            error = box->message();
            auto* retry = box->findChild<FadingPictureButton*>("retryButton");
            retryOffered = retry != nullptr;
            // The watch answers readably now, with a ready disk on HD2: the format warning comes next.
            context->Storage().unreadable[1].store(0);
            WhenShown<WaitingBox>(this, [&](WaitingBox*) { flags.Report(&page, false, false, true, true); });
            if (retry != nullptr)
                QTest::mouseClick(retry, Qt::LeftButton);
        });
        QString warning;
        QTimer::singleShot(0, this, [&] {
            WhenShown<DiskAlert>(this, [&](DiskAlert* alert) {
                warning = alert->title();
                alert->End(ModalLayer::IDCANCEL);
            });
        });
        QTest::mouseClick(page.nextButton(), Qt::LeftButton);
        QTRY_VERIFY(!error.isEmpty());
        QCOMPARE(error, QString::fromStdString(Text("hddformat_unreadable", "-")));
        QVERIFY(retryOffered);
        QTRY_VERIFY_WITH_TIMEOUT(!warning.isEmpty(), 5000);
        QVERIFY(warning != QString::fromStdString(Text("hddformat_06 ", "No HD Found")));
        QVERIFY(page.portReady(1));
        const Messages sent = host->take();
        QVERIFY(std::find(sent.begin(), sent.end(), RecordedMessage { WM_STORAGE_WATCH, 0, 0 }) != sent.end());
    }

    // No address: the format command cannot even start. That is a failure, not a port skipped, and a storage report
    // that arrives while formatting changes nothing.
    void formatThatCannotStartFailsAndWatchesAgain()
    {
        DiskPage page(host.get(), *context);
        page.show();
        Ports flags;
        flags.Report(&page, true, true, false, false);
        QString failure;
        int boxMode = -1;
        WhenShown<DiskAlert>(this, [&](DiskAlert* confirmation) {
            QCOMPARE(confirmation->title(), QString::fromStdString(Text("hddformat_04", "")));
            QVERIFY(confirmation->message().contains(QStringLiteral("HD1")));
            WhenShown<WaitingBox>(this, [&](WaitingBox* box) {
                boxMode = box->mode();
                WhenShown<ErrorAlert>(this, [&](ErrorAlert* error) {
                    failure = error->message();
                    QTest::mouseClick(error->findChild<FadingPictureButton*>("closeButton"), Qt::LeftButton);
                });
                flags.plugged[0] = 0; // the disk busy or gone, as a report sent just before the watch stopped says
                flags.ready[0] = 0;
                PostWindowMessage(&page, WM_STORAGE_CHANGED, reinterpret_cast<intptr_t>(flags.ready),
                    reinterpret_cast<intptr_t>(flags.plugged));
            });
            QTest::mouseClick(confirmation->findChild<FadingPictureButton*>("okButton"), Qt::LeftButton);
        });
        QTest::mouseClick(page.nextButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!failure.isEmpty(), 10000);
        QCOMPARE(boxMode, int(WaitingBox::HddFormat));
        QCOMPARE(failure, QString::fromStdString(Text("hddformat_15", "Failed to format HDD!")));
        QTRY_VERIFY(ModalLayer::Top() == nullptr);
        QCOMPARE(host->take(), (Messages { { WM_STORAGE_WATCH, 1, 0 }, { WM_STORAGE_WATCH, 0, 0 } }));
        QVERIFY(page.portPlugged(0)); // the report that came while formatting was not taken
        QVERIFY(!page.formatting());
    }
};

QTEST_MAIN(PagesZoneDiskTest)
#include "pages_zone_disk_test.moc"
