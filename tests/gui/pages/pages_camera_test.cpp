// The camera page and its list without a recorder: what the list asks its page and when, the rows a camera list
// becomes, check requests and their four-camera limit, password results that only land on their own camera,
// what a rescan carries over, how a search that failed or timed out leaves the list, and Back and Next.

#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/ModalLayer.h"
#include "pages/CameraListHeader.h"
#include "pages/CameraList.h"
#include "pages/CameraPage.h"
#include "pages/CameraPasswordRunner.h"
#include "session/WizardContext.h"
#include "ui/LayeredPictureButton.h"
#include "ui/SmallLink.h"
#include "ui/TextLabel.h"
#include "ui/Messages.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

using Messages = std::vector<RecordedMessage>;

// A, B, C, D, E with known passwords (checked without an overlay), F new (create overlay), G with an empty account
// (enter overlay), and two lines without an address.
const std::vector<std::string> kLines = {
    "0;10.77.0.30;00:00:00:00:00:01;Veskor;QC-A;admin;pa;;1",
    "0;10.77.0.31;00:00:00:00:00:02;Veskor;QC-B;admin;pb;;1",
    "1;10.77.0.32:8080;00:00:00:00:00:03;Veskor;QC-C;admin;pc;;1",
    "0;10.77.0.33;00:00:00:00:00:04;Veskor;QC-D;admin;pd;;1",
    "0;10.77.0.34;00:00:00:00:00:05;Veskor;QC-E;admin;pe;;1",
    "0;10.77.0.35;00:00:00:00:00:06;Veskor;QC-F;admin;;;1",
    "0;10.77.0.36;00:00:00:00:00:07;Veskor;QC-G;;;;0",
    "0;;00:00:00:00:00:08;Veskor;QC-H;admin;ph",
    "0",
};

void Deliver()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents();
}

void ClickBox(CameraList* list, int row)
{
    list->scrollTo(list->model()->index(row, CameraList::kCheckColumn));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->CheckCellRect(row).center());
}

} // namespace

class PagesCameraTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WizardContext> context;
    std::unique_ptr<RecordingHost> host;

    std::unique_ptr<CameraPage> page() { return SettledCameraPage(host.get(), *context); }

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

    void listAsksItsPageOnceAndUnchecksByItself()
    {
        RecordingHost parent;
        CameraList list(&parent);
        list.setGeometry(0, 0, 688, 225);
        list.show();
        for (int i = 0; i < CameraList::kMaxRows; ++i)
            QCOMPARE(list.AppendRow(QString::number(i + 1)), i);
        QCOMPARE(list.AppendRow(QStringLiteral("257")), -1);
        QVERIFY(!list.SetCellText(-1, CameraList::kIpColumn, QStringLiteral("x")));
        QVERIFY(!list.SetCellText(0, CameraList::kColumnCount, QStringLiteral("x")));
        QVERIFY(list.SetCellText(0, CameraList::kIpColumn, QStringLiteral("10.77.0.30")));
        const uint64_t generation = list.generation();
        const intptr_t tag = static_cast<intptr_t>(generation & 0x7FFFFFFF);

        // A click (and a double click) on an unchecked box asks once, posted, and checks nothing itself.
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.CheckCellRect(1).center());
        QCOMPARE(parent.take(), (Messages { { WM_CAMERA_CHECK_REQUEST, 1, tag } }));
        QVERIFY(!list.IsChecked(1));
        ClickBox(&list, 2);
        QVERIFY(parent.take().empty()); // the first request is not answered yet
        list.CheckRequestHandled();
        ClickBox(&list, 2);
        QCOMPARE(parent.take(), (Messages { { WM_CAMERA_CHECK_REQUEST, 2, tag } }));
        list.CheckRequestHandled();

        // Four checked: a fifth is refused and the others are grey; a click on a checked box unchecks it at once.
        for (int row : { 0, 1, 2, 3 })
            QVERIFY(list.CheckRow(row));
        QVERIFY(!list.CheckRow(4));
        QCOMPARE(list.CheckedCount(), 4);
        ClickBox(&list, 3);
        QVERIFY(!list.IsChecked(3));
        QCOMPARE(list.CheckedCount(), 3);
        QVERIFY(parent.take().empty());

        // The icon asks for the preview only on a verified row, and remembers where it was clicked.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.IconCellRect(0).center());
        QVERIFY(parent.take().empty());
        list.SetVerified(0, true);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.IconCellRect(0).center());
        QCOMPARE(parent.take(), (Messages { { WM_OPEN_OVERLAY, 8, 0 } }));
        const QRect icon = list.IconCellRect(0);
        QCOMPARE(list.previewAnchor(),
            list.viewport()->mapTo(&parent, QPoint(icon.right() + 1 - 5, icon.top() + icon.height() / 2 + 2)));

        // A long model name is cut on screen and whole on hover.
        const QString longName = QStringLiteral("QC-2000 Outdoor Pan Tilt Zoom Camera With Night Vision");
        list.SetCellText(0, CameraList::kModelColumn, longName);
        QCOMPARE(list.item(0, CameraList::kModelColumn)->toolTip(), longName);
        list.SetCellText(1, CameraList::kModelColumn, QStringLiteral("QC-210"));
        QCOMPARE(list.item(1, CameraList::kModelColumn)->toolTip(), QString());

        // New rows are a new list: a request made for the old one no longer matches.
        list.DeleteAllRows();
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(list.generation() != generation);
        QVERIFY(!list.checkRequestPending());
    }

    void aCameraListBecomesRowsAndAFailedSearchSaysSo()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        // The first search could not be made: nothing listed, and no "No camera found!".
        QVERIFY(!p->noCameraShown());
        QCOMPARE(p->list()->rowCount(), 0);
        p->ShowCameraLines(kLines);
        CameraList* list = p->list();
        QCOMPARE(list->rowCount(), 7);
        QCOMPARE(context->Session().CameraCount(), 7);
        QCOMPARE(list->CellText(2, CameraList::kNumberColumn), QStringLiteral("3"));
        QCOMPARE(list->CellText(2, CameraList::kModelColumn), QStringLiteral("QC-C"));
        QCOMPARE(list->CellText(2, CameraList::kIpColumn), QStringLiteral("10.77.0.32:8080"));
        QCOMPARE(list->Header()->titles().value(CameraList::kNumberColumn), QStringLiteral(" No."));
        QVERIFY(list->IsVerified(5)); // account "admin"
        QVERIFY(!list->IsVerified(6)); // empty account
        QVERIFY(!p->noCameraShown());
        // A model name with markup is shown as text, cut, and whole on hover.
        p->ShowCameraLines(
            { "0;10.77.0.42;00:3e:0b:00:02:03;Veskor;<b>QC</b> <%s%n> & a very long model name that goes "
              "on and on;admin;pw;;1;" });
        QCOMPARE(list->item(0, CameraList::kModelColumn)->toolTip(),
            QStringLiteral("<b>QC</b> <%s%n> & a very long model name that goes on and on"));
        p->ShowCameraLines(kLines);

        // Timed out or failed says nothing of the cameras: the list shows none, the session keeps them, and the page
        // says why (never "No camera found!") with a link that searches again.
        const std::pair<CameraPage::SearchOutcome, const char*> problems[]
            = { { CameraPage::SearchOutcome::TimedOut, "camsearch_no_answer" },
                  { CameraPage::SearchOutcome::Failed, "camsearch_unreadable" } };
        for (const auto& [outcome, key] : problems) {
            p->ShowCameraLines(kLines);
            p->ShowCameraLines({}, outcome);
            QCOMPARE(list->rowCount(), 0);
            QCOMPARE(context->Session().CameraCount(), 7);
            QVERIFY(!p->noCameraShown());
            QCOMPARE(p->searchProblemText(), QString::fromStdString(Text(key, "-")));
            QVERIFY(p->searchAgainLink()->isVisible());
        }
        // The link searches again (without a recorder it cannot even be made).
        QTest::mouseClick(p->searchAgainLink(), Qt::LeftButton);
        Deliver();
        QVERIFY(p->searchRunning());
        QVERIFY(p->searchProblemText().isEmpty());
        QVERIFY(WaitFor([&] { return !p->searchRunning(); }, 5000));
        // An answer that names no camera is the one that says "No camera found!".
        p->ShowCameraLines({});
        QVERIFY(p->noCameraShown());
        QVERIFY(p->searchProblemText().isEmpty());
        QCOMPARE(context->Session().CameraCount(), 0);
        p->ShowCameraLines(kLines);
        QVERIFY(!p->noCameraShown());
    }

    void checkRequestsAreAnsweredAfterTheClickAndStopAtFour()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        p->ShowCameraLines(kLines);
        CameraList* list = p->list();
        for (int row : { 0, 1, 2, 3 }) {
            ClickBox(list, row);
            QVERIFY(!list->IsChecked(row)); // posted: decided after the click has been handled
            Deliver();
            QVERIFY(list->IsChecked(row));
        }
        ClickBox(list, 4);
        Deliver();
        QVERIFY(!list->IsChecked(4));
        QCOMPARE(list->CheckedCount(), 4);
        // The page says why the other rows are grey, as long as four are checked.
        QVERIFY(p->chosenNotice()->isVisible());
        QVERIFY(p->chosenNotice()->text().startsWith(QStringLiteral("4 of 4 cameras chosen")));
        ClickBox(list, 0);
        QVERIFY(!list->IsChecked(0));
        QVERIFY(!p->chosenNotice()->isVisible());
        ClickBox(list, 4);
        Deliver();
        QVERIFY(list->IsChecked(4));
        QVERIFY(p->chosenNotice()->isVisible());
        p->ShowCameraLines(kLines);
        QVERIFY(!p->chosenNotice()->isVisible());
        for (int row : { 1, 2, 3, 4 })
            list->CheckRow(row);
        // A camera whose password is not known is not checked by the click: its overlay opens (a new camera's
        // is the create overlay) and decides; closed by its cross here, the row stays unchecked.
        list->UncheckRow(4);
        QString opened;
        QTimer::singleShot(200, [&opened] {
            if (ModalLayer* top = ModalLayer::Top()) {
                opened = QString::fromLatin1(top->metaObject()->className());
                top->End(ModalLayer::IDCANCEL);
            }
        });
        ClickBox(list, 5);
        Deliver();
        QCOMPARE(opened, QStringLiteral("CreateCameraPasswordOverlay"));
        QVERIFY(!list->IsChecked(5));
        QVERIFY(!list->checkRequestPending());
        // A request for an older list changes nothing.
        PostWindowMessage(p.get(), WM_CAMERA_CHECK_REQUEST, 4, 0);
        Deliver();
        QVERIFY(!list->IsChecked(4));
    }

    void anAcceptedPasswordLandsOnlyOnItsOwnCamera()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        p->ShowCameraLines(kLines);
        CameraList* list = p->list();
        CameraPasswordJob job;
        job.kind = CameraPasswordJob::Verify;
        job.mac = "00:00:00:00:00:07";
        job.address = "10.77.0.36";
        job.row = 6;
        job.generation = list->generation();
        job.password = "secret7";

        CameraPasswordJob stale = job;
        stale.generation = job.generation - 1;
        emit p->passwordRunner()->PasswordAccepted(stale);
        CameraPasswordJob otherCamera = job;
        otherCamera.mac = "00:00:00:00:00:06";
        emit p->passwordRunner()->PasswordAccepted(otherCamera);
        QVERIFY(!list->IsChecked(6) && !list->IsChecked(5));
        QCOMPARE(context->Session().Camera(6)->password, std::string());

        emit p->passwordRunner()->PasswordAccepted(job);
        QVERIFY(list->IsChecked(6));
        QVERIFY(list->IsVerified(6));
        QCOMPARE(context->Session().Camera(6)->password, std::string("secret7"));
        QCOMPARE(context->Session().Camera(6)->verified, 1);

        // A created password checks the row and leaves its icon as it was.
        CameraPasswordJob created = job;
        created.kind = CameraPasswordJob::Create;
        created.mac = "00:00:00:00:00:06";
        created.address = "10.77.0.35";
        created.row = 5;
        created.password = "newpass1";
        emit p->passwordRunner()->PasswordAccepted(created);
        QVERIFY(list->IsChecked(5));
        QCOMPARE(context->Session().Camera(5)->password, std::string("newpass1"));
    }

    void rescanCarriesCheckedVerifiedCamerasOverByMac()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        p->ShowCameraLines(kLines);
        CameraList* list = p->list();
        list->CheckRow(0);
        list->CheckRow(2);
        QTest::mouseClick(p->findChild<QWidget*>(QStringLiteral("rescan")), Qt::LeftButton);
        Deliver();
        QVERIFY(p->searchRunning());
        QCOMPARE(list->rowCount(), 0);
        QVERIFY(!p->nextButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!p->searchRunning(), 5000);
        QVERIFY(p->nextButton()->isEnabled());
        // A comes back at another address and without its password in the line; C is gone; B was never checked.
        p->ShowCameraLines({ "0;10.77.0.50;00:00:00:00:00:01;Veskor;QC-A;admin;;;1",
            "0;10.77.0.31;00:00:00:00:00:02;Veskor;QC-B;admin;pb;;1", "0;10.77.0.60;;Veskor;QC-X;;;;1" });
        QVERIFY(list->IsChecked(0));
        QCOMPARE(context->Session().Camera(0)->password, std::string("pa"));
        QVERIFY(!list->IsChecked(1));
        QVERIFY(!list->IsChecked(2));
        QCOMPARE(list->CheckedCount(), 1);
    }

    void backPostsTheStorageWatchBeforeLeaving()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        host->take();
        QTest::mouseClick(p->backButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_STORAGE_WATCH, 0, 0 }, { WM_WIZARD_NAV, NAV_BACK, 0 } }));
        QTest::mouseClick(p->backButton(), Qt::LeftButton);
        QVERIFY(host->take().empty());
    }

    // Without a recorder Next cannot read the cloud record (nothing to connect to, so no error either), and no
    // registration is taken: no camera is reported added, and Next pressed twice goes on once.
    void nextWithoutRecorderGoesOnOnceAndAddsNothing()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        p->ShowCameraLines(kLines);
        p->list()->CheckRow(0);
        p->list()->CheckRow(1);
        host->take();
        QTimer::singleShot(50, p.get(), [&] { QTest::mouseClick(p->nextButton(), Qt::LeftButton); });
        QTest::mouseClick(p->nextButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        for (int i = 0; i < context->Session().CameraCount(); ++i)
            QCOMPARE(context->Session().Camera(i)->selected, 0);
        QCOMPARE(context->Portal().access, std::string("0"));
    }

    // The host calls Leave while a search runs: the worker is joined there and nothing of it lands afterwards.
    void leaveDuringASearchJoinsItsWorker()
    {
        auto p = page();
        QVERIFY(!p->searchRunning());
        p->ShowCameraLines(kLines);
        p->Rescan();
        QVERIFY(p->searchRunning());
        QElapsedTimer clock;
        clock.start();
        p->Leave();
        QVERIFY(clock.elapsed() < 1000);
        Deliver();
        QCOMPARE(p->list()->rowCount(), 0);
        QCOMPARE(context->Session().CameraCount(), 7);
    }
};

QTEST_MAIN(PagesCameraTest)
#include "pages_camera_test.moc"
