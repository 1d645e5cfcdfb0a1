// The host's default-login probe against simulated recorders in the lab: a new recorder is accepted with the
// empty password, a recorder with a password refuses it, a silent one times out and the password page hears
// of it, and a recorder the search did not find fails at once.

#include "app/WizardHost.h"
#include "StandInPage.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

class ServicesE2e : public QObject
{
    Q_OBJECT

private:
    QWidget frame;
    WizardHost* host = nullptr;
    int32_t busyAtBuild = -1;

    // Shows page 7 after a probe for the recorder at ip / mac, the way page 6 leaves: probe, then NEXT.
    StandInPage* probe(const std::string& ip, const std::string& mac)
    {
        host->SetNvrIp(ip);
        host->SetNvrMac(mac);
        host->SetNvrUser("admin");
        host->currentPage = 6;
        busyAtBuild = -1;
        PostWindowMessage(host, WM_START_LOGIN_PROBE);
        PostWindowMessage(host, WM_WIZARD_NAV, NAV_NEXT);
        QCoreApplication::sendPostedEvents(host);
        QElapsedTimer clock;
        clock.start();
        while (host->probeBusy().load() != 0 && clock.elapsed() < 10000)
            QTest::qWait(20);
        QTest::qWait(100); // a failure report reaches the page
        return qobject_cast<StandInPage*>(host->ShownPage());
    }

private slots:
    void initTestCase()
    {
        SelectLanguage(0);
        frame.resize(874, 654);
        host = new WizardHost(&frame);
        host->SetPageBuilder([this](WizardHost* h, int n) -> QWidget* {
            busyAtBuild = h->probeBusy().load();
            return new StandInPage(h, n);
        });
        host->show();
        frame.show();
        QCOMPARE(host->DiscoveryEngine().Start(), int32_t(SearchDevice::Searching));
        QTRY_COMPARE_WITH_TIMEOUT(host->DiscoveryEngine().state.load(), int32_t(SearchDevice::SearchDone), 15000);
        QVERIFY(host->DiscoveryEngine().InterfaceForIp("10.77.0.10") >= 0);
    }

    void newRecorderAcceptsTheEmptyPassword()
    {
        StandInPage* page = probe("10.77.0.10", "00:1a:2b:3c:4d:5e");
        QCOMPARE(busyAtBuild, 1); // the password page sees the probe running when it is built
        QCOMPARE(host->defaultLoginAccepted().load(), 1);
        QCOMPARE(host->defaultLoginRefused().load(), 0);
        QCOMPARE(page->probeFailures, 0);
    }

    void recorderWithPasswordRefusesIt()
    {
        StandInPage* page = probe("10.77.0.11", "00:1a:2b:3c:4d:5f");
        QCOMPARE(host->defaultLoginAccepted().load(), 0);
        QCOMPARE(host->defaultLoginRefused().load(), 1);
        QCOMPARE(page->probeFailures, 0);
    }

    void silentRecorderTimesOutAndThePageHears()
    {
        QVERIFY(host->DiscoveryEngine().InterfaceForIp("10.77.0.12") >= 0);
        QElapsedTimer clock;
        clock.start();
        StandInPage* page = probe("10.77.0.12", "00:1a:2b:3c:4d:67");
        QVERIFY2(clock.elapsed() >= 2900 && clock.elapsed() < 7000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(host->defaultLoginAccepted().load(), 1);
        QCOMPARE(host->defaultLoginRefused().load(), 0);
        QCOMPARE(page->probeFailures, 1);
    }

    void unknownRecorderFailsAtOnce()
    {
        StandInPage* page = probe("10.77.0.40", "00:1a:2b:3c:4d:99");
        QCOMPARE(host->defaultLoginAccepted().load(), 1);
        QCOMPARE(host->defaultLoginRefused().load(), 0);
        QCOMPARE(page->probeFailures, 1);
    }

    // A second start while the first probe waits on the silent recorder stops it first.
    void secondStartStopsTheFirst()
    {
        host->SetNvrIp("10.77.0.12");
        host->SetNvrMac("00:1a:2b:3c:4d:67");
        PostWindowMessage(host, WM_START_LOGIN_PROBE);
        QCoreApplication::sendPostedEvents(host);
        QTest::qWait(300);
        host->SetNvrIp("10.77.0.10");
        host->SetNvrMac("00:1a:2b:3c:4d:5e");
        QElapsedTimer clock;
        clock.start();
        PostWindowMessage(host, WM_START_LOGIN_PROBE);
        QCoreApplication::sendPostedEvents(host);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(host->probeBusy().load(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(host->probeBusy().load(), 0, 10000);
        QCOMPARE(host->defaultLoginAccepted().load(), 1);
        QCOMPARE(host->defaultLoginRefused().load(), 0);
    }

    // The watch on the new recorder: its first report, a disk pulled out, a stop and a restart.
    void storageWatchReportsPortChanges()
    {
        host->SetNvrIp("10.77.0.10");
        host->SetNvrMac("00:1a:2b:3c:4d:5e");
        host->SetNvrUser("admin");
        host->SetNvrPassword("");
        host->currentPage = 8;
        PostWindowMessage(host, WM_STORAGE_WATCH, 0);
        PostWindowMessage(host, WM_WIZARD_NAV, NAV_NEXT);
        QCoreApplication::sendPostedEvents(host);
        auto* page = qobject_cast<StandInPage*>(host->ShownPage());
        QVERIFY(page != nullptr && page->number() == 9);
        StorageWatch& watch = host->Storage();
        QTRY_COMPARE_WITH_TIMEOUT(page->storageReports, 1, 10000);
        QCOMPARE(page->lastReady, reinterpret_cast<intptr_t>(watch.ready));
        QCOMPARE(page->lastPlugged, reinterpret_cast<intptr_t>(watch.plugged));
        QCOMPARE(watch.plugged[0].load(), 1);
        QCOMPARE(watch.ready[0].load(), 1);
        QCOMPARE(watch.plugged[1].load(), 0);
        QVERIFY(watch.fsCode[0].load() >= 2); // a disk fresh from a PC, not yet the recorder's own

        // Nothing changes: no further report.
        QTest::qWait(1500);
        QCOMPARE(page->storageReports, 1);

        // HD1 pulled out: reported within about half a second plus the request time.
        const QByteArray control = qgetenv("LAB_DIR") + "/sim-control";
        QFile pipe(QString::fromLocal8Bit(control));
        QVERIFY(pipe.open(QIODevice::WriteOnly));
        pipe.write("usb fresh 1 none\n");
        pipe.close();
        QTRY_COMPARE_WITH_TIMEOUT(page->storageReports, 2, 5000);
        QCOMPARE(watch.plugged[0].load(), 0);
        QCOMPARE(watch.ready[0].load(), 0);

        QElapsedTimer clock;
        clock.start();
        PostWindowMessage(host, WM_STORAGE_WATCH, 1);
        QCoreApplication::sendPostedEvents(host);
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(!watch.threadExists());
        QTest::qWait(1000);
        QCOMPARE(page->storageReports, 2);

        // Started again: the first cycle reports even though nothing changed.
        PostWindowMessage(host, WM_STORAGE_WATCH, 0);
        QCoreApplication::sendPostedEvents(host);
        QTRY_COMPARE_WITH_TIMEOUT(page->storageReports, 3, 10000);
        PostWindowMessage(host, WM_STORAGE_WATCH, 1);
        QCoreApplication::sendPostedEvents(host);
    }
};

QTEST_MAIN(ServicesE2e)
#include "app_services_e2e.moc"
