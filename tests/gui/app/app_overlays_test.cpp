// The overlays: the dimmer's result per kind, the waiting box's limits, the alert boxes' places, and that
// nothing beneath a running layer takes input, from the mouse, the keys or an assistive tool.

#include "AppTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/DiskAlert.h"
#include "overlays/ErrorAlert.h"
#include "overlays/NoInternetAlert.h"
#include "overlays/RecorderNotFoundHelp.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "ui/AccessibleControls.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

class OverlaysTest : public QObject
{
    Q_OBJECT

private:
    // A window 874 x 654 with a page at (7, 7), as in the wizard.
    struct Window
    {
        QWidget frame;
        QWidget* page;
        Window()
        {
            frame.resize(874, 654);
            page = new QWidget(&frame);
            page->setGeometry(7, 7, 860, 640);
            frame.show();
        }
    };

private slots:
    void initTestCase() { SelectLanguage(0); }

    void dimmerEndsAsItsKindSays_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("overlayResult");
        QTest::addColumn<int>("expected");
        const int ok = ModalLayer::IDOK;
        const int cancel = ModalLayer::IDCANCEL;
        // kind: about, LED, reset, MAC label, install help, camera password, preview, terms
        const int rows[][3] = { { 1, ok, cancel }, { 1, cancel, cancel }, { 2, ok, ok }, { 2, cancel, cancel },
            { 3, ok, ok }, { 3, cancel, cancel }, { 4, cancel, ok }, { 6, cancel, ok }, { 7, cancel, ok },
            { 8, cancel, ok }, { 9, cancel, ok }, { 9, ok, ok } };
        for (const auto& row : rows)
            QTest::addRow("kind %d overlay %d", row[0], row[1]) << row[0] << row[1] << row[2];
    }

    void dimmerEndsAsItsKindSays()
    {
        QFETCH(int, kind);
        QFETCH(int, overlayResult);
        QFETCH(int, expected);
        Window window;
        QPoint seenPosition;
        Dimmer::RegisterOverlay(kind, [&](QWidget*, QPoint page, const OverlayValues&) {
            seenPosition = page;
            return overlayResult;
        });
        Dimmer dimmer(window.page, kind);
        QCOMPARE(dimmer.DoModal(), expected);
        QCOMPARE(seenPosition, QPoint(7, 7));
        Dimmer::RegisterOverlay(kind, nullptr);
    }

    void dimmerWithoutOverlayEndsWithCancel()
    {
        Window window;
        for (int kind : { 0, 4, 10, 11, 16, -1 }) {
            Dimmer dimmer(window.page, kind);
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(dimmer.DoModal(), int(ModalLayer::IDCANCEL));
            QVERIFY(clock.elapsed() < 1000);
        }
    }

    void alertButtonsGiveTheirResults_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("cancelButton");
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("expected");
        const int ok = ModalLayer::IDOK;
        const int cancel = ModalLayer::IDCANCEL;
        QTest::newRow("error Close") << 14 << 0 << false << "errorAlert"
                                     << "closeButton" << cancel;
        QTest::newRow("error cross") << 14 << 0 << false << "errorAlert"
                                     << "closeCross" << cancel;
        QTest::newRow("net alarm SKIP") << 12 << 0 << false << "noInternetAlert"
                                        << "skipButton" << ok;
        QTest::newRow("net alarm RETRY") << 12 << 0 << false << "noInternetAlert"
                                         << "retryButton" << cancel;
        QTest::newRow("format warning OK") << 5 << 1 << true << "diskAlert"
                                           << "okButton" << ok;
        QTest::newRow("format warning CANCEL") << 5 << 1 << true << "diskAlert"
                                               << "cancelButton" << cancel;
        QTest::newRow("no disk OK") << 5 << 0 << false << "diskAlert"
                                    << "okButton" << ok;
        QTest::newRow("no device cross") << 13 << 0 << false << "recorderNotFoundHelp"
                                         << "closeCross" << cancel;
    }

    void alertButtonsGiveTheirResults()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(bool, cancelButton);
        QFETCH(QString, layer);
        QFETCH(QString, button);
        QFETCH(int, expected);
        Window window;
        Dimmer dimmer(window.page, kind);
        dimmer.values.mode = mode;
        dimmer.values.cancelButton = cancelButton;
        WhenLayerRuns(layer, [button](ModalLayer* alert) { ClickButton(alert, button); });
        QCOMPARE(dimmer.DoModal(), expected);
    }

    void alertBoxesSitWhereThePageSays()
    {
        Window window;
        const QPoint page(7, 7);
        ErrorAlert error(window.page, page, "");
        QCOMPARE(error.boxRect().topLeft(), page + QPoint(210, 210));
        QCOMPARE(error.message(), QString("Check Network Failed!"));
        ErrorAlert custom(window.page, page, "Failed to format HDD!");
        QCOMPARE(custom.message(), QString("Failed to format HDD!"));
        DiskAlert alarm(window.page, page, 1, true);
        QCOMPARE(alarm.boxRect(), QRect(page + QPoint(210, 200), QSize(440, 240)));
        QCOMPARE(alarm.title(), QString("Important Alert"));
        QVERIFY(alarm.findChild<QAbstractButton*>("cancelButton") != nullptr);
        DiskAlert noDisk(window.page, page, 0, false);
        QCOMPARE(noDisk.title(), QString("No HD Found"));
        QVERIFY(noDisk.findChild<QAbstractButton*>("cancelButton") == nullptr);
        RecorderNotFoundHelp noDevice(window.page, page);
        QCOMPARE(noDevice.boxRect(), QRect(page + QPoint(130, 120), QSize(600, 380)));
        auto* cross = noDevice.findChild<QAbstractButton*>("closeCross");
        QCOMPARE(cross->size(), QSize(14, 14));
        QCOMPARE(cross->geometry().right(), noDevice.boxRect().right() - 15);
    }

    void waitingBoxWithClearedFlagEndsAtFirstTick()
    {
        Window window;
        std::atomic<int32_t> busy { 0 };
        WaitingBox box(window.page, &busy, 120);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(box.DoModal(), int(ModalLayer::IDOK));
        QCOMPARE(box.ticks(), 1);
        QVERIFY2(clock.elapsed() >= 90 && clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    void waitingBoxEndsAtItsTickLimit()
    {
        Window window;
        std::atomic<int32_t> busy { 1 };
        WaitingBox box(window.page, &busy, 7);
        QElapsedTimer clock;
        clock.start();
        box.DoModal();
        QCOMPARE(box.ticks(), 7);
        QVERIFY2(clock.elapsed() >= 630 && clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(busy.load(), 1);
    }

    void waitingBoxEndsWhenAWorkerClearsTheFlag()
    {
        Window window;
        std::atomic<int32_t> busy { 1 };
        std::thread worker([&busy] {
            std::this_thread::sleep_for(std::chrono::milliseconds(450));
            busy.store(0);
        });
        WaitingBox box(window.page, &busy, 500);
        box.DoModal();
        worker.join();
        QVERIFY2(box.ticks() >= 4 && box.ticks() <= 20, qPrintable(QString::number(box.ticks())));
    }

    void waitingBoxIsCentredOnThePage()
    {
        Window window;
        std::atomic<int32_t> busy { 0 };
        for (int mode : { int(WaitingBox::Waiting), int(WaitingBox::HddFormat), int(WaitingBox::HddCheck),
                 int(WaitingBox::Formatting) }) {
            WaitingBox box(window.page, &busy, 10, mode);
            const QRect r = box.boxRect();
            QCOMPARE(r.height(), 86);
            QCOMPARE(r.y(), 7 + 275);
            QCOMPARE(r.x(), 7 + 430 - r.width() / 2);
            QVERIFY(r.width() > 113);
        }
        WaitingBox check(window.page, &busy, 300, WaitingBox::HddCheck);
        QCOMPARE(check.text(), QString("Checking your HDD"));
        WaitingBox waiting(window.page, &busy);
        QCOMPARE(waiting.tickLimit(), 500);
        QCOMPARE(waiting.text(), QString("Waiting."));
    }

    void nothingBeneathALayerTakesInput()
    {
        Window window;
        auto* button = new QPushButton("beneath", window.page);
        button->setGeometry(20, 20, 100, 30);
        auto* entry = new QLineEdit(window.page);
        entry->setGeometry(20, 60, 100, 30);
        button->show();
        entry->show();
        entry->setFocus();
        QSignalSpy clicks(button, &QPushButton::clicked);

        bool tried = false;
        Dimmer::RegisterOverlay(6, [&](QWidget*, QPoint, const OverlayValues&) {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClicks(entry, "abc");
            QTest::keyClicks(window.page, "abc");
            tried = true;
            return int(ModalLayer::IDOK);
        });
        Dimmer dimmer(window.page, 6);
        dimmer.DoModal();
        Dimmer::RegisterOverlay(6, nullptr);
        QVERIFY(tried);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(entry->text(), QString());

        // Once the layer has ended, the page takes input again.
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
    }

    // An assistive tool reaches what a click reaches: beneath a running layer a press and a typed text change
    // nothing and the controls read as unavailable (a NEXT pressed under a waiting box ran the page's next step
    // inside the box's loop); the layer's own controls work, and the page's again once the layer has ended.
    void assistiveActionsBeneathALayerChangeNothing()
    {
        InstallAccessibleControls();
        Window window;
        auto* button = new PictureButton(window.page);
        button->setGeometry(20, 20, 100, 30);
        auto* entry = new PlainLineEdit(window.page);
        entry->setGeometry(20, 60, 100, 30);
        button->show();
        entry->show();
        QSignalSpy clicks(button, &QAbstractButton::clicked);
        auto press = [](QWidget* widget) {
            QAccessible::queryAccessibleInterface(widget)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        };
        auto type = [entry] { QAccessible::queryAccessibleInterface(entry)->setText(QAccessible::Value, "abc"); };
        auto unavailable
            = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->state().disabled; };

        bool beneathUnavailable = false;
        bool ownUnavailable = true;
        int ownClicks = 0;
        Dimmer::RegisterOverlay(6, [&](QWidget*, QPoint, const OverlayValues&) {
            beneathUnavailable = unavailable(button) && unavailable(entry);
            press(button);
            type();
            auto* own = new PictureButton(ModalLayer::Top());
            own->setGeometry(300, 300, 100, 30);
            own->show();
            QObject::connect(own, &QAbstractButton::clicked, [&] { ++ownClicks; });
            ownUnavailable = unavailable(own);
            press(own);
            return int(ModalLayer::IDOK);
        });
        Dimmer dimmer(window.page, 6);
        dimmer.DoModal();
        Dimmer::RegisterOverlay(6, nullptr);
        QVERIFY(beneathUnavailable);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(entry->text(), QString());
        QVERIFY(!ownUnavailable);
        QCOMPARE(ownClicks, 1);

        QVERIFY(!unavailable(button));
        press(button);
        type();
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(entry->text(), QString("abc"));
    }
};

QTEST_MAIN(OverlaysTest)
#include "app_overlays_test.moc"
