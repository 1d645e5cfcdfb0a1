// The wizard host: every row of the page sequence driven through the pages' own buttons, the cloud page's
// skip rule, going home, the order of the service messages, and ending with both services running.

#include "../support/SilentServer.h"
#include "AppTestSupport.h"

#include "app/WizardHost.h"
#include "StandInPage.h"
#include "i18n/Localization.h"
#include "pages/WizardPage.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTest>
#include <algorithm>

namespace {

// Records the messages the host forwards to its frame.
class FrameStandIn : public QWidget
{
public:
    std::vector<std::tuple<int, intptr_t, intptr_t>> messages;

protected:
    bool event(QEvent* event) override
    {
        if (const WindowMessage* m = AsWindowMessage(event)) {
            messages.emplace_back(m->message(), m->wParam(), m->lParam());
            return true;
        }
        return QWidget::event(event);
    }
};

// The pages of the host's own sequence, with stand-ins for the pages that need a recorder: these tests drive the
// host, not the pages.
QWidget* HostTestPage(WizardHost* host, int n)
{
    if (n >= 6 && n <= 9)
        return new StandInPage(host, n);
    return WizardHost::BuildStandardPage(host, n);
}

} // namespace

class HostTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        FrameStandIn frame;
        WizardHost* host;
        Fixture()
        {
            frame.resize(874, 654);
            host = new WizardHost(&frame);
            host->SetPageBuilder(&HostTestPage);
            host->show();
            frame.show();
        }
        // Shows page n the way the host gets there: from the page before it.
        void goTo(int n)
        {
            host->currentPage = n - 1;
            PostWindowMessage(host, WM_WIZARD_NAV, NAV_NEXT);
            Deliver();
        }
        StandInPage* page() const { return qobject_cast<StandInPage*>(host->ShownPage()); }
        int pageCount() const
        {
            return static_cast<int>(host->findChildren<WizardPage*>(Qt::FindDirectChildrenOnly).size());
        }
        void click(const char* name)
        {
            auto* button = host->ShownPage()->findChild<QAbstractButton*>(name);
            QVERIFY(button != nullptr && button->isVisible());
            button->click();
            Deliver();
        }
    };

private slots:
    void initTestCase() { SelectLanguage(0); }

    void everyRowLeadsToItsPage_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("to");
        QTest::addRow("1 start") << 1 << "start" << 2;
        for (int n = 2; n <= 10; ++n)
            // Page 10 reads the recorder's portal record on NEXT: with no recorder there is none, and the cloud
            // page is left out.
            QTest::addRow("%d next", n) << n << "next" << (n == 10 ? 12 : n + 1);
        QTest::addRow("11 next") << 11 << "next" << 12;
        for (int n = 2; n <= 11; ++n)
            QTest::addRow("%d back", n) << n << "back" << n - 1;
    }

    void everyRowLeadsToItsPage()
    {
        QFETCH(int, from);
        QFETCH(QString, control);
        QFETCH(int, to);
        Fixture f;
        f.host->Portal().access = "1"; // so that page 11 is shown
        f.goTo(from);
        QCOMPARE(f.host->ShownPageNumber(), from);
        QCOMPARE(f.host->currentPage, from);
        if (from == 11 && control == "next") { // the cloud page's NEXT without an account: declined
            QTest::mouseClick(f.host->ShownPage()->findChild<QWidget*>("declineChoice"), Qt::LeftButton);
            Deliver();
        }
        f.click(qPrintable(control));
        QCOMPARE(f.host->ShownPageNumber(), to);
        QCOMPARE(f.host->currentPage, std::min(to, from + 1)); // a cloud page left out still counts as reached
        QVERIFY(f.host->PageSlot(from) == nullptr); // the page left is destroyed
        QCOMPARE(f.pageCount(), 1);
    }

    void pagesOneAndTwelveHaveNoBack()
    {
        Fixture f;
        for (int n : { 1, 12 }) {
            f.goTo(n);
            QVERIFY(!f.host->ShownPage()->findChild<QAbstractButton*>("back")->isVisible());
        }
        f.goTo(1);
        QVERIFY(f.host->ShownPage()->findChild<QObject*>("indicator") == nullptr);
    }

    void cloudPageOnlyForAReachableUnboundPortal_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("shown");
        QTest::newRow("access 1") << "1"
                                  << "" << 11;
        QTest::newRow("access 1 status 0") << "1"
                                           << "0" << 11;
        QTest::newRow("access 0") << "0"
                                  << "" << 12;
        QTest::newRow("access empty") << ""
                                      << "" << 12;
        QTest::newRow("access 1 status 1") << "1"
                                           << "1" << 12;
        QTest::newRow("access 1 with blank") << "1 "
                                             << "" << 12;
    }

    void cloudPageOnlyForAReachableUnboundPortal()
    {
        QFETCH(QString, access);
        QFETCH(QString, status);
        QFETCH(int, shown);
        Fixture f;
        f.host->Portal().access = access.toStdString();
        f.host->Portal().status = status.toStdString();
        f.goTo(11); // NEXT on page 10, after it read the portal record

        QCOMPARE(f.host->ShownPageNumber(), shown);
        QCOMPARE(f.host->currentPage, 11);
    }

    void homeKeepsTheSession()
    {
        Fixture f;
        f.host->SetNvrIp("10.77.0.10");
        f.host->SetNvrPassword("Secret99");
        auto camera = std::make_unique<CameraRecord>();
        camera->ip = "10.77.0.20";
        f.host->AppendCamera(std::move(camera));
        for (int from : { 5, 7 }) {
            f.goTo(from);
            PostWindowMessage(f.host, WM_WIZARD_NAV, NAV_HOME);
            Deliver();
            QCOMPARE(f.host->ShownPageNumber(), 1);
            QCOMPARE(f.host->currentPage, 1);
        }
        QCOMPARE(f.host->NvrIp(), std::string("10.77.0.10"));
        QCOMPARE(f.host->NvrPassword(), std::string("Secret99"));
        QCOMPARE(f.host->CameraCount(), 1);
    }

    void unknownMessagesAndCodesChangeNothing()
    {
        Fixture f;
        f.goTo(3);
        for (intptr_t code : { 0, 7, 99, -1 })
            PostWindowMessage(f.host, WM_WIZARD_NAV, code);
        PostWindowMessage(f.host, WM_USER + 77, 1);
        Deliver();
        QCOMPARE(f.host->ShownPageNumber(), 3);
        QCOMPARE(f.host->currentPage, 3);
        // Beyond the last page and before the first nothing changes either.
        f.goTo(1);
        PostWindowMessage(f.host, WM_WIZARD_NAV, NAV_BACK);
        Deliver();
        QCOMPARE(f.host->ShownPageNumber(), 1);
        QCOMPARE(f.host->currentPage, 1);
    }

    void minimiseAndMoveGoToTheFrame()
    {
        Fixture f;
        f.goTo(4);
        f.click("minimise");
        PostWindowMessage(f.host, WM_WIZARD_MOVE, 120, 80);
        Deliver();
        QCOMPARE(f.frame.messages.size(), size_t(2));
        QCOMPARE(f.frame.messages[0], std::make_tuple(WM_WIZARD_NAV, intptr_t(NAV_MINIMIZE), intptr_t(0)));
        QCOMPARE(f.frame.messages[1], std::make_tuple(WM_WIZARD_MOVE, intptr_t(120), intptr_t(80)));
        QCOMPARE(f.host->ShownPageNumber(), 4);
    }

    // Page 7 must find the probe started when it is built; page 9 must find the watch started.
    void servicesStartBeforeTheNextPageIsBuilt()
    {
        Fixture f;
        int32_t busySeen = -1;
        bool watchSeen = false;
        f.host->SetPageBuilder([&](WizardHost* host, int n) -> QWidget* {
            // The probe of an unknown recorder may already have ended; its thread shows it was started.
            if (n == 7)
                busySeen = host->Probe().threadExists() ? 1 : 0;
            if (n == 9)
                watchSeen = host->Storage().running();
            return HostTestPage(host, n);
        });
        f.goTo(6);
        f.click("next");
        QCOMPARE(f.host->ShownPageNumber(), 7);
        QCOMPARE(busySeen, 1);
        // BACK from page 8 runs the probe again before page 7 is shown.
        f.goTo(8);
        busySeen = -1;
        f.click("back");
        QCOMPARE(busySeen, 1);

        f.goTo(8);
        f.click("next");
        QVERIFY(watchSeen);
        QVERIFY(f.host->Storage().running());
        f.click("next"); // leaving page 9 stops the watch
        QVERIFY(!f.host->Storage().running());
        f.click("back"); // BACK from page 10 starts it again
        QVERIFY(f.host->Storage().running());
        QCOMPARE(f.host->ShownPageNumber(), 9);
        f.click("back");
        QVERIFY(!f.host->Storage().running());
    }

    // An unreachable recorder: the probe says "new recorder" and tells the password page once.
    void probeWithoutRecorderReportsFailureToThePasswordPage()
    {
        Fixture f;
        f.goTo(6);
        f.host->SetNvrIp("10.77.0.10");
        f.host->SetNvrMac("00:1a:2b:3c:4d:5e");
        f.click("next");
        StandInPage* page = f.page();
        QCOMPARE(page->number(), 7);
        QVERIFY(WaitFor([&] { return f.host->probeBusy().load() == 0; }));
        QCOMPARE(f.host->defaultLoginAccepted().load(), 1);
        QCOMPARE(f.host->defaultLoginRefused().load(), 0);
        QVERIFY(WaitFor([&] { return page->probeFailures == 1; }));
        QTest::qWait(100);
        QCOMPARE(page->probeFailures, 1);
    }

    void twoProbeStartsInARow()
    {
        Fixture f;
        f.goTo(6);
        QElapsedTimer clock;
        clock.start();
        PostWindowMessage(f.host, WM_START_LOGIN_PROBE);
        PostWindowMessage(f.host, WM_START_LOGIN_PROBE);
        PostWindowMessage(f.host, WM_WIZARD_NAV, NAV_NEXT);
        int32_t busyAtBuild = -1;
        f.host->SetPageBuilder([&](WizardHost* host, int n) -> QWidget* {
            busyAtBuild = host->Probe().threadExists() ? 1 : 0;
            return HostTestPage(host, n);
        });
        QCoreApplication::sendPostedEvents(f.host);
        QCOMPARE(busyAtBuild, 1);
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(WaitFor([&] { return f.host->probeBusy().load() == 0; }));
        QCOMPARE(f.host->defaultLoginAccepted().load() + f.host->defaultLoginRefused().load(), 1);
    }

    void finishAndCloseEndTheRun_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("close") << int(NAV_CLOSE);
        QTest::newRow("finish") << int(NAV_FINISH);
    }

    void finishAndCloseEndTheRun()
    {
        QFETCH(int, code);
        Fixture f;
        QTimer::singleShot(0, f.host, [&] {
            QCOMPARE(f.host->ShownPageNumber(), 1);
            f.goTo(code == NAV_FINISH ? 12 : 4);
            PostWindowMessage(f.host, WM_WIZARD_NAV, code);
        });
        QCOMPARE(f.host->DoModal(), code);
        Deliver();
        QCOMPARE(f.host->ShownPageNumber(), 0);
        QCOMPARE(f.pageCount(), 0);
    }

    // Closing while the storage watch waits on a silent recorder and the probe runs: both end within their
    // limits because their requests are cancelled, not waited out.
    void closingWhileBothServicesRun()
    {
        SilentServer silent;
        Fixture f;
        f.host->SetNvrIp("127.0.0.1");
        f.host->SetNvrMac("00:1a:2b:3c:4d:5e");
        f.host->SetNvrUser("admin");
        QElapsedTimer clock;
        QTimer::singleShot(0, f.host, [&] {
            f.host->Storage().Start("127.0.0.1", "", "admin", "", silent.port);
            PostWindowMessage(f.host, WM_START_LOGIN_PROBE);
            QTest::qWait(300);
            QVERIFY(f.host->Storage().running());
            clock.start();
            PostWindowMessage(f.host, WM_WIZARD_NAV, NAV_CLOSE);
        });
        QCOMPARE(f.host->DoModal(), int(NAV_CLOSE));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!f.host->Storage().threadExists());
        QVERIFY(!f.host->Probe().threadExists());
        QCOMPARE(f.host->probeBusy().load(), 0);
    }

    // The page hears Leave exactly once on every way it goes, before it is destroyed.
    void pageLeavesOnceOnEveryWayOut_data()
    {
        QTest::addColumn<QString>("way");
        for (const char* way : { "next", "back", "home", "close button", "finish", "host destroyed" })
            QTest::newRow(way) << way;
    }

    void pageLeavesOnceOnEveryWayOut()
    {
        QFETCH(QString, way);
        struct LeavingPage : StandInPage
        {
            int* leaves;
            int* leftBeforeDeletion;
            LeavingPage(WizardHost* host, int n, int* leaveCount, int* before)
                : StandInPage(host, n)
                , leaves(leaveCount)
                , leftBeforeDeletion(before)
            {
            }
            ~LeavingPage() override { *leftBeforeDeletion = *leaves; }
            void Leave() override { ++*leaves; }
        };
        int leaves = 0;
        int leftBeforeDeletion = -1;
        auto* f = new Fixture;
        f->host->SetPageBuilder([&](WizardHost* host, int n) -> QWidget* {
            return new LeavingPage(host, n, &leaves, &leftBeforeDeletion);
        });
        if (way == QLatin1String("close button") || way == QLatin1String("finish")) {
            QTimer::singleShot(0, f->host, [&] {
                if (way == QLatin1String("finish"))
                    PostWindowMessage(f->host, WM_WIZARD_NAV, NAV_FINISH);
                else
                    f->host->ShownPage()->findChild<QAbstractButton*>("close")->click();
            });
            f->host->DoModal(); // shows page 1, the page under test
        } else {
            f->goTo(5);
            f->host->SetPageBuilder(&WizardHost::BuildStandardPage); // the next page is an ordinary one
            if (way == QLatin1String("home")) {
                PostWindowMessage(f->host, WM_WIZARD_NAV, NAV_HOME);
                Deliver();
            } else if (way == QLatin1String("host destroyed")) {
                delete f;
                f = nullptr;
            } else {
                f->click(qPrintable(way));
            }
        }
        Deliver();
        QCOMPARE(leaves, 1);
        QCOMPARE(leftBeforeDeletion, 1);
        delete f;
    }

    void enterAndEscapeNeverReachAPage()
    {
        Fixture f;
        std::vector<int> keys;
        struct KeyPage : StandInPage
        {
            std::vector<int>* keys;
            KeyPage(WizardHost* host, int n, std::vector<int>* record)
                : StandInPage(host, n)
                , keys(record)
            {
            }
            void keyPressEvent(QKeyEvent* event) override { keys->push_back(event->key()); }
        };
        f.host->SetPageBuilder([&](WizardHost* host, int n) -> QWidget* { return new KeyPage(host, n, &keys); });
        QTimer::singleShot(0, f.host, [&] {
            QWidget* page = f.host->ShownPage();
            for (int key : { int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape), int(Qt::Key_A) })
                QTest::keyClick(page, Qt::Key(key));
            PostWindowMessage(f.host, WM_WIZARD_NAV, NAV_CLOSE);
        });
        f.host->DoModal();
        QCOMPARE(keys, std::vector<int>({ Qt::Key_A }));
    }
};

QTEST_MAIN(HostTest)
#include "app_host_test.moc"
