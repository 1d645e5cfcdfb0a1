// The camera page's password overlays without a camera: the create overlay's checks (mismatch said first, then the
// 6-30 rule), the enter overlay handing any password on unchanged, the caret in the first entry, and how an answer
// is shown (refused: the overlay's error box, the overlay stays; accepted: it closes).

#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "pages/CreateCameraPasswordOverlay.h"
#include "pages/EnterCameraPasswordOverlay.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/TextLabel.h"

#include <QTest>
#include <memory>

namespace {

QString Message(const char* key, const char* fallback)
{
    return QString::fromStdString(Text(key, fallback));
}

QString RuleMessage()
{
    return Message("camsearch_09",
        "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).");
}

QString MismatchMessage()
{
    return Message("nvrpwd_03", "The passwords don't match. Please try again.");
}

// Types text as a user does (QTest::keyClicks takes ASCII only).
void Type(QWidget* entry, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// What the overlay handed on, and the answer slots it got back (the test answers for the camera).
struct Camera
{
    QStringList submitted;
    std::vector<CameraPasswordOverlay::Answer> answers;

    CameraPasswordOverlay::Submit Submit()
    {
        return [this](const std::string& password) {
            submitted << QString::fromStdString(password);
            answers.push_back(std::make_shared<std::atomic<int32_t>>(CameraPasswordOverlay::Pending));
            return answers.back();
        };
    }
};

} // namespace

class PagesCameraPasswordTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SelectLanguage(0); }

    void createOverlayChecksMismatchFirstThenTheRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirmed");
        QTest::addColumn<QString>("error"); // empty: handed on
        const QString rule = RuleMessage();
        const QString mismatch = MismatchMessage();
        QTest::newRow("six") << "abc123"
                             << "abc123" << QString();
        QTest::newRow("thirty") << QString(30, QLatin1Char('k')) << QString(30, QLatin1Char('k')) << QString();
        QTest::newRow("six characters, not bytes")
            << QString::fromUtf8("密码密码密码") << QString::fromUtf8("密码密码密码") << QString();
        QTest::newRow("percent and hash") << "ab%cd#12"
                                          << "ab%cd#12" << QString();
        QTest::newRow("thirty-one") << QString(31, QLatin1Char('k')) << QString(31, QLatin1Char('k')) << rule;
        QTest::newRow("five") << "abc12"
                              << "abc12" << rule;
        QTest::newRow("empty") << ""
                               << "" << rule;
        QTest::newRow("space") << "abc 123"
                               << "abc 123" << rule;
        QTest::newRow("slash") << "abc/123"
                               << "abc/123" << rule;
        QTest::newRow("colon") << "abc:123"
                               << "abc:123" << rule;
        QTest::newRow("ampersand") << "abc&123"
                                   << "abc&123" << rule;
        QTest::newRow("differ") << "abc123"
                                << "abc124" << mismatch;
        QTest::newRow("differ, both breaking the rule") << "ab c"
                                                        << "ab:c" << mismatch;
        QTest::newRow("confirmation empty") << "abc123"
                                            << "" << mismatch;
        QTest::newRow("case differs") << "Abc123"
                                      << "abc123" << mismatch;
    }

    void createOverlayChecksMismatchFirstThenTheRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, confirmed);
        QFETCH(QString, error);
        RecordingHost host;
        Camera camera;
        CreateCameraPasswordOverlay overlay(&host, "PQC-7310W", camera.Submit());
        QString shown;
        WhenShown<CreateCameraPasswordOverlay>(this, [&](CreateCameraPasswordOverlay* up) {
            QCOMPARE(up->focusWidget(), up->newEntry()); // the caret starts in the first entry
            Type(up->newEntry(), typed);
            Type(up->confirmEntry(), confirmed);
            QCOMPARE(up->newEntry()->text(), typed);
            shown = ErrorBoxAfter([up] { ClickOk(up); }, error.isEmpty() ? 0 : 1000);
            QVERIFY(up->IsRunning()); // a refusal keeps the overlay open with its entries
            QCOMPARE(up->newEntry()->text(), typed);
            QCOMPARE(up->waiting(), error.isEmpty());
            up->End(ModalLayer::IDCANCEL);
        });
        overlay.Run();
        QCOMPARE(shown, error);
        QCOMPARE(camera.submitted, error.isEmpty() ? QStringList { typed } : QStringList());
    }

    void enterOverlayHandsThePasswordOnUnchanged_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces and signs") << QStringLiteral(" ab%cd &:/ ");
        QTest::newRow("long") << QString(40, QLatin1Char('x'));
    }

    void enterOverlayHandsThePasswordOnUnchanged()
    {
        QFETCH(QString, typed);
        RecordingHost host;
        Camera camera;
        EnterCameraPasswordOverlay overlay(&host, "QC-210", camera.Submit());
        QVERIFY(overlay.titleText().contains(QStringLiteral("QC-210")));
        QVERIFY(!overlay.titleText().contains(QStringLiteral("[Camera Name]")));
        WhenShown<EnterCameraPasswordOverlay>(this, [&](EnterCameraPasswordOverlay* up) {
            QCOMPARE(up->focusWidget(), up->passwordEntry());
            Type(up->passwordEntry(), typed);
            ClickOk(up);
            QVERIFY(up->waiting());
            up->End(ModalLayer::IDCANCEL);
        });
        overlay.Run();
        QCOMPARE(camera.submitted, QStringList { typed });
    }

    void titleNamesTheCameraAndCutsANameTooWideForIt()
    {
        RecordingHost host;
        EnterCameraPasswordOverlay named(&host, "QC-210", {});
        QCOMPARE(named.titleText(), QStringLiteral("Please enter the password for the camera QC-210"));
        const std::string wide(300, 'W');
        CreateCameraPasswordOverlay cut(&host, wide, {});
        QVERIFY(cut.titleText().startsWith(QStringLiteral("Please create a password for the camera WWW")));
        QVERIFY(cut.titleText().endsWith(QChar(0x2026)));
        QVERIFY(cut.titleText().size() < 150);
    }

    // Refused: the overlay's own error text and the overlay stays, entries as they were; OK again, accepted: it
    // closes with OK. The create overlay says a failed change in its own words.
    void answersAreShownEveryHalfSecond_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("enter") << false << Message("nvrpwd_05", "Incorrect password. Please try again.");
        QTest::newRow("create") << true << Message("nvrpwd_06", "Failed to set account password");
    }

    void answersAreShownEveryHalfSecond()
    {
        QFETCH(bool, create);
        QFETCH(QString, refusal);
        RecordingHost host;
        Camera camera;
        std::unique_ptr<CameraPasswordOverlay> overlay;
        if (create)
            overlay = std::make_unique<CreateCameraPasswordOverlay>(&host, "PQC-7310W", camera.Submit());
        else
            overlay = std::make_unique<EnterCameraPasswordOverlay>(&host, "PQC-7310W", camera.Submit());
        QString error;
        bool openAfterRefusal = false;
        QElapsedTimer clock;
        WhenShown<CameraPasswordOverlay>(this, [&](CameraPasswordOverlay* up) {
            for (PlainLineEdit* entry : up->findChildren<PlainLineEdit*>())
                Type(entry, QStringLiteral("Secret12"));
            ClickOk(up);
            QCOMPARE(camera.answers.size(), size_t(1));
            QCOMPARE(ErrorBoxAfter([] {}, 700), QString()); // no answer yet: nothing shown
            error = ErrorBoxAfter([&] { camera.answers[0]->store(CameraPasswordOverlay::Refused); }, 1500);
            openAfterRefusal = up->IsRunning();
            for (PlainLineEdit* entry : up->findChildren<PlainLineEdit*>())
                QCOMPARE(entry->text(), QStringLiteral("Secret12"));
            ClickOk(up);
            QCOMPARE(camera.answers.size(), size_t(2));
            camera.answers[1]->store(CameraPasswordOverlay::Accepted);
            clock.start();
        });
        QCOMPARE(overlay->Run(), int(ModalLayer::IDOK));
        QVERIFY2(clock.elapsed() < 1000, "closed at the next look");
        QCOMPARE(error, refusal);
        QVERIFY(openAfterRefusal);
    }

    // The cross closes the overlay while an answer is pending (the worker goes on; the runner hands its result on).
    void crossClosesWhileWaiting()
    {
        RecordingHost host;
        Camera camera;
        EnterCameraPasswordOverlay overlay(&host, "QC-210", camera.Submit());
        WhenShown<EnterCameraPasswordOverlay>(this, [&](EnterCameraPasswordOverlay* up) {
            ClickOk(up);
            QTest::mouseClick(up->findChild<PictureButton*>(QStringLiteral("closeCross")), Qt::LeftButton);
        });
        QCOMPARE(overlay.Run(), int(ModalLayer::IDCANCEL));
        QCOMPARE(camera.submitted.size(), 1);
    }
};

QTEST_MAIN(PagesCameraPasswordTest)
#include "pages_camera_password_test.moc"
