// The camera page's password runner against the simulator's cameras in the lab (tests/e2e/session/cameras.conf):
// the overlays driven as a user drives them on both paths, and a password answer that lands on its own camera while
// a second camera is tried and refused. What the cameras saw is read from the simulator's state file.

#include "pages/PagesTestSupport.h"

#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "pages/CreateCameraPasswordOverlay.h"
#include "pages/EnterCameraPasswordOverlay.h"
#include "pages/CameraPasswordRunner.h"
#include "session/WizardContext.h"
#include "support/SimLink.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// The requests camera `device` saw, oldest first.
QStringList Requests(const QString& device)
{
    QStringList requests;
    for (const QJsonObject& event : SimLink().Events(device))
        requests << event.value("kind").toString() + QLatin1Char(' ') + event.value("detail").toString();
    return requests;
}

CameraPasswordJob Job(CameraPasswordJob::Kind kind, const char* mac, const char* address, bool udp, int row,
    const std::string& oldPassword = "")
{
    CameraPasswordJob job;
    job.kind = kind;
    job.mac = mac;
    job.address = address;
    job.useUdp = udp;
    job.row = row;
    job.generation = 9;
    job.model = "QC-210";
    job.oldPassword = oldPassword;
    return job;
}

void ClickCross(QWidget* overlay)
{
    QTest::mouseClick(overlay->findChild<PictureButton*>(QStringLiteral("closeCross")), Qt::LeftButton);
}

void Retype(PlainLineEdit* entry, const QString& text)
{
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
}

} // namespace

class CameraPasswordE2e : public QObject
{
    Q_OBJECT

    std::unique_ptr<WizardContext> context;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<QWidget> page;

private slots:
    void initTestCase()
    {
        SelectLanguage(0);
        context = std::make_unique<WizardContext>(std::function<void()>(), std::function<void()>());
        host = std::make_unique<RecordingHost>();
        page = std::make_unique<QWidget>(host.get());
        page->setGeometry(0, 0, 860, 640);
        page->show();
        SearchDevice& search = context->DiscoveryEngine();
        search.SetSearchWindow(1500);
        QCOMPARE(search.Start(), int32_t(SearchDevice::Searching));
        QTRY_COMPARE_WITH_TIMEOUT(search.state.load(), int32_t(SearchDevice::SearchDone), 15000);
        QVERIFY(search.FindByMac("00:3e:0b:00:01:02") >= 0);
    }

    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
    }

    // A wrong password is refused with the overlay's message and the overlay stays; the right one closes it and
    // reaches the page with the camera's job, whether OK is pressed after the refused job's worker has ended or
    // while it still waits out its last second (then the job starts when that second is over).
    void enterOverlayOverHttpRefusesThenTakesThePassword_data()
    {
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("after the worker's last second") << 1100;
        QTest::newRow("at once after the refusal") << 0;
    }

    void enterOverlayOverHttpRefusesThenTakesThePassword()
    {
        QFETCH(int, pauseMs);
        CameraPasswordRunner runner(*context, nullptr);
        QSignalSpy accepted(&runner, &CameraPasswordRunner::PasswordAccepted);
        const CameraPasswordJob camera
            = Job(CameraPasswordJob::Verify, "00:3e:0b:00:01:04", "10.77.0.23:8080", false, 4);
        QString refusal;
        QString secondRefusal;
        WhenShown<EnterCameraPasswordOverlay>(this, [&](EnterCameraPasswordOverlay* overlay) {
            QTest::keyClicks(overlay->passwordEntry(), QStringLiteral("Cam1234"));
            refusal = ErrorBoxAfter([overlay] { ClickOk(overlay); }, 8000);
            QTest::qWait(pauseMs);
            Retype(overlay->passwordEntry(), QStringLiteral("Cam12345"));
            // A refusal of the right password is read and ends the overlay, so the run does not stay open.
            auto* watch = new QTimer(overlay);
            connect(watch, &QTimer::timeout, overlay, [&secondRefusal, overlay] {
                if (auto* box = qobject_cast<ErrorAlert*>(ModalLayer::Top())) {
                    secondRefusal = box->message();
                    box->End(ModalLayer::IDOK);
                    overlay->End(ModalLayer::IDCANCEL);
                }
            });
            watch->start(20);
            ClickOk(overlay);
        });
        runner.Open(page.get(), camera);
        QCOMPARE(refusal, QString::fromStdString(Text("nvrpwd_05", "Incorrect password. Please try again.")));
        QCOMPARE(secondRefusal, QString());
        QCOMPARE(accepted.count(), 1); // handed on before Open returned
        const auto job = accepted.at(0).at(0).value<CameraPasswordJob>();
        QCOMPARE(job.mac, camera.mac);
        QCOMPARE(job.row, 4);
        QCOMPARE(job.generation, uint64_t(9));
        QCOMPARE(job.password, std::string("Cam12345"));
        QCOMPARE(job.kind, CameraPasswordJob::Verify);
    }

    void createOverlayOverDatagramSetsThePassword()
    {
        CameraPasswordRunner runner(*context, nullptr);
        QSignalSpy accepted(&runner, &CameraPasswordRunner::PasswordAccepted);
        WhenShown<CreateCameraPasswordOverlay>(this, [&](CreateCameraPasswordOverlay* overlay) {
            QTest::keyClicks(overlay->newEntry(), QStringLiteral("Ab%cd#12"));
            QTest::keyClicks(overlay->confirmEntry(), QStringLiteral("Ab%cd#12"));
            ClickOk(overlay);
        });
        runner.Open(page.get(), Job(CameraPasswordJob::Create, "00:3e:0b:00:01:02", "10.77.0.21", true, 1));
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(accepted.at(0).at(0).value<CameraPasswordJob>().password, std::string("Ab%cd#12"));
        QTRY_COMPARE(SimLink().Camera("dgramnew").value("password").toString(), QStringLiteral("Ab%cd#12"));
    }

    // Camera A's overlay is closed by its cross before A answers; camera B is tried meanwhile and refused at once
    // with nothing sent to it; A's answer still reaches the page, once, with A's own identity and password.
    void aClosedOverlaysAnswerLandsOnItsOwnCamera()
    {
        CameraPasswordRunner runner(*context, nullptr);
        QSignalSpy accepted(&runner, &CameraPasswordRunner::PasswordAccepted);
        const CameraPasswordJob cameraA = Job(CameraPasswordJob::Verify, "00:3e:0b:00:01:08", "10.77.0.27", false, 1);
        const CameraPasswordJob cameraB = Job(CameraPasswordJob::Verify, "00:3e:0b:00:01:09", "10.77.0.28", false, 2);

        WhenShown<EnterCameraPasswordOverlay>(this, [&](EnterCameraPasswordOverlay* overlay) {
            QTest::keyClicks(overlay->passwordEntry(), QStringLiteral("Cam12345"));
            ClickOk(overlay);
            ClickCross(overlay);
        });
        runner.Open(page.get(), cameraA);
        QCOMPARE(accepted.count(), 0);
        QVERIFY(runner.Busy());

        QString refusal;
        WhenShown<EnterCameraPasswordOverlay>(this, [&](EnterCameraPasswordOverlay* overlay) {
            QTest::keyClicks(overlay->passwordEntry(), QStringLiteral("Cam12345"));
            refusal = ErrorBoxAfter([overlay] { ClickOk(overlay); }, 1000);
            ClickCross(overlay);
        });
        runner.Open(page.get(), cameraB);
        QCOMPARE(refusal, QString::fromStdString(Text("nvrpwd_05", "Incorrect password. Please try again.")));
        QCOMPARE(accepted.count(), 0);

        QTRY_COMPARE_WITH_TIMEOUT(accepted.count(), 1, 8000);
        const auto job = accepted.at(0).at(0).value<CameraPasswordJob>();
        QCOMPARE(job.mac, cameraA.mac);
        QCOMPARE(job.address, cameraA.address);
        QCOMPARE(job.row, cameraA.row);
        QCOMPARE(job.password, std::string("Cam12345"));
        QTest::qWait(1500);
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!runner.Busy());
        QCOMPARE(Requests(QStringLiteral("webtoo")), QStringList());
    }
};

QTEST_MAIN(CameraPasswordE2e)
#include "camera_password_e2e.moc"
