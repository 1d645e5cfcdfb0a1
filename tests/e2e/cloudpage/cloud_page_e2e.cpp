// The cloud page against the simulated portal and recorders in the lab (tests/e2e/cloudpage/cloud.conf): sign-up
// and sign-in bind the recorder and register it, every refusal the portal knows is shown as plain text and keeps
// the page, network failures show the page's message, a portal whose certificate no trusted CA signed is refused,
// answers split over several reads are read whole, and a chain that takes longer than a waiting box's default
// keeps its box until it ends.

#include "../../gui/support/MessageRecorder.h"
#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "overlays/ModalLayer.h"
#include "overlays/PortalHostAlert.h"
#include "pages/CloudPage.h"
#include "session/WizardContext.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/Messages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {


std::string PortalHost()
{
    const QByteArray host = qgetenv("LAB_PORTAL_HOST");
    return host.isEmpty() ? std::string("cloud.quelmo.lab") : host.toStdString();
}

QJsonObject SimulatorState()
{
    QFile file(qEnvironmentVariable("LAB_SIM_STATE"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject RecorderCloud(const QString& name)
{
    for (const QJsonValue& recorder : SimulatorState().value("recorders").toArray())
        if (recorder.toObject().value("name").toString() == name)
            return recorder.toObject().value("cloud").toObject();
    return {};
}

// Sends a command line to the simulator's control pipe and waits until the simulator has taken it.
bool SimulatorControl(const QString& line)
{
    if (line.isEmpty())
        return true;
    const qint64 before = SimulatorState().value("eventCount").toInteger();
    QFile pipe(qEnvironmentVariable("LAB_DIR") + QStringLiteral("/sim-control"));
    if (!pipe.open(QIODevice::WriteOnly))
        return false;
    pipe.write((line + QLatin1Char('\n')).toUtf8());
    pipe.close();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        // The events kept are the latest ones: event i of n is number count - n + i of all.
        const QJsonObject state = SimulatorState();
        const QJsonArray events = state.value("events").toArray();
        const qint64 first = state.value("eventCount").toInteger() - events.size();
        for (qsizetype i = 0; i < events.size(); ++i) {
            const QJsonObject e = events[i].toObject();
            if (first + i >= before && e.value("kind").toString() == "control" && e.value("detail").toString() == line)
                return e.value("result").toString() == "ok";
        }
        QTest::qWait(20);
    }
    return false;
}

// The command that turns a control command's change off again (empty for none).
QString Undo(const QString& control)
{
    if (control.startsWith(QStringLiteral("portal refuse-bind")))
        return QStringLiteral("portal refuse-bind no");
    if (control.startsWith(QStringLiteral("fault ")))
        return control.section(QLatin1Char(' '), 0, 1) + QStringLiteral(" none");
    return {};
}

// How many of the requests the simulator remembers went to device and start with prefix.
int RequestsSeen(const QString& device, const QString& prefix)
{
    int seen = 0;
    for (const QJsonValue& event : SimulatorState().value("events").toArray()) {
        const QJsonObject e = event.toObject();
        seen += e.value("device").toString() == device && e.value("detail").toString().startsWith(prefix) ? 1 : 0;
    }
    return seen;
}

// How many of the requests the simulator remembers went to device, start with prefix and hold part.
int RequestsHolding(const QString& device, const QString& prefix, const QString& part)
{
    int seen = 0;
    for (const QJsonValue& event : SimulatorState().value("events").toArray()) {
        const QJsonObject e = event.toObject();
        const QString detail = e.value("detail").toString();
        seen += e.value("device").toString() == device && detail.startsWith(prefix) && detail.contains(part) ? 1 : 0;
    }
    return seen;
}

// A recorder of cloud.conf as the camera page leaves it for the cloud page.
struct Recorder
{
    QString ip;
    QString number;
    QString dfp;
    QString password = QStringLiteral("Secret99");
};

struct Attempt
{
    int mode = 1;
    QString email;
    QString password;
    QString first = QStringLiteral("Ann");
    QString last = QStringLiteral("Lee");
};

// What one NEXT brought: the messages posted to the host, the error box's text (empty: none came up), the time.
struct Outcome
{
    std::vector<RecordedMessage> posted;
    QString errorBox;
    bool retryOffered = false;
    QString portalHostAsked; // the question about a portal host outside the maker's domains (agreed to), if asked
    qint64 ms = 0;
    bool advanced() const { return posted == std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_NEXT, 0 } }; }
};

struct PageRun
{
    WizardContext context { [] {}, [] {} };
    MessageRecorder host;
    CloudPage* page = nullptr;

    PageRun(const Recorder& recorder, const std::string& portalHost = PortalHost())
    {
        host.setFixedSize(860, 640);
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.show();
        WizardSession& session = context.Session();
        session.SetNvrIp(recorder.ip.toStdString());
        session.SetNvrUser("admin");
        session.SetNvrPassword(recorder.password.toStdString());
        CloudPortalInfo& portal = context.Portal();
        portal.access = "1";
        portal.status = "0";
        portal.portal_url = portalHost;
        portal.portal_number = recorder.number.toStdString();
        portal.portal_dfp = recorder.dfp.toStdString();
        page = new CloudPage(&host, context);
        page->show();
    }
    ~PageRun()
    {
        page->Leave();
        delete page;
    }

    void press(const char* name)
    {
        QTest::mouseClick(page->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
        host.take();
    }
    void type(const char* name, const QString& text)
    {
        auto* edit = page->findChild<PlainLineEdit*>(QString::fromLatin1(name));
        edit->clear();
        edit->insert(text);
    }

    // Fills the page as the user does and presses NEXT; an error box that comes up is read and closed.
    Outcome attempt(const Attempt& a)
    {
        press(a.mode == 2 ? "signUpChoice" : "signInChoice");
        if (a.mode == 2) {
            press("termsBox");
            type("confirmEdit", a.password);
            type("firstNameEdit", a.first);
            type("lastNameEdit", a.last);
        }
        type("emailEdit", a.email);
        type("passwordEdit", a.password);
        return next();
    }

    // Presses NEXT with the page as it is; an error box that comes up is read and closed.
    Outcome next()
    {
        Outcome outcome;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<ErrorAlert*>(ModalLayer::Top())) {
                outcome.errorBox = box->message();
                outcome.retryOffered = box->findChild<QWidget*>(QStringLiteral("retryButton")) != nullptr;
                box->End(ModalLayer::IDOK);
            } else if (auto* question = qobject_cast<PortalHostAlert*>(ModalLayer::Top())) {
                outcome.portalHostAsked = question->message();
                question->End(ModalLayer::IDOK);
            }
        });
        watch.start(20);
        QElapsedTimer clock;
        clock.start();
        page->nextButton()->click();
        outcome.ms = clock.elapsed();
        watch.stop();
        outcome.posted = host.take();
        return outcome;
    }
};

const Recorder kUp { "10.77.0.10", "700001", "dfp-up" };
const Recorder kIn { "10.77.0.11", "700002", "dfp-in" };
const Recorder kOther { "10.77.0.12", "700003", "dfp-other" };
const Recorder kTaken { "10.77.0.13", "700004", "dfp-taken" };
const Recorder kStatus { "10.77.0.14", "700005", "dfp-status" };
const Recorder kFinal { "10.77.0.15", "700006", "dfp-final" };
const Recorder kSlow { "10.77.0.16", "700007", "dfp-slow" };
const Recorder kSplit { "10.77.0.17", "700008", "dfp-split" };
const Recorder kRetry { "10.77.0.18", "700009", "dfp-retry" };

} // namespace

Q_DECLARE_METATYPE(Recorder)

class CloudPageE2e : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SelectLanguage(0);
        QVERIFY2(!SimulatorState().isEmpty(), "run me in the lab with the simulator");
    }

    // Values with "+", "&" and "#" reach the portal and the recorder as typed, the recorder's direct
    // registration request last of all.
    void signUpBindsAndRegistersTheRecorder()
    {
        PageRun run(kUp);
        const Outcome outcome = run.attempt({ 2, "new+one@example.lab", "Str0ng&pw#1" });
        QVERIFY2(outcome.advanced(), qPrintable(run.page->messageText() + outcome.errorBox));
        QCOMPARE(run.context.Session().CloudEmail(), std::string("new+one@example.lab"));
        QCOMPARE(run.context.Session().CloudPassword(), std::string("Str0ng&pw#1"));
        QCOMPARE(run.context.Session().cloudNumber, run.context.Portal().portal_number); // for the setup report
        QVERIFY(!run.context.Session().cloudNumber.empty());
        const QJsonObject cloud = RecorderCloud("nvr-up");
        QCOMPARE(cloud.value("email").toString(), QStringLiteral("new+one@example.lab"));
        QCOMPARE(cloud.value("password").toString(), QStringLiteral("Str0ng&pw#1"));
        QCOMPARE(cloud.value("status").toInt(), 1);
        bool direct = false;
        for (const QJsonValue& event : SimulatorState().value("events").toArray())
            direct = direct
                || event.toObject().value("detail").toString().startsWith(
                    "GET /config/quelmoreginfo?status=1&email=new%2Bone@example.lab&password=Str0ng%26pw%231");
        QVERIFY(direct);
    }

    // The sign-in is awaited, not stopped: it succeeds. The forms say "en" whatever the wizard's language.
    void signInBindsAndRegistersTheRecorder()
    {
        SelectLanguage(1);
        PageRun run(kIn);
        SelectLanguage(0);
        const Outcome outcome = run.attempt({ 1, "owner@example.lab", "Cloud123" });
        QVERIFY2(outcome.advanced(), qPrintable(run.page->messageText() + outcome.errorBox));
        QVERIFY(RequestsSeen(QStringLiteral("portal"),
                    QStringLiteral("POST /account/?signin body: client=wizard&"
                                   "wizard_version=HXT-914Q_V%202.02.00&lang=en&"))
            > 0);
        QCOMPARE(run.context.Session().CloudEmail(), std::string("owner@example.lab"));
        QCOMPARE(RecorderCloud("nvr-in").value("email").toString(), QStringLiteral("owner@example.lab"));
    }

    void answersSplitOverSeveralReadsAreReadWhole()
    {
        QVERIFY(SimulatorControl("fault portal http-split:7@/account/"));
        PageRun run(kSplit);
        const Outcome outcome = run.attempt({ 1, "owner@example.lab", "Cloud123" });
        QVERIFY(SimulatorControl("fault portal none"));
        QVERIFY2(outcome.advanced(), qPrintable(run.page->messageText() + outcome.errorBox));
    }

    void refusalsAreShownAndKeepThePage_data()
    {
        QTest::addColumn<Recorder>("recorder");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("emailMarker");
        QTest::addColumn<bool>("passwordMarker");
        const QString owner = QStringLiteral("owner@example.lab");
        const QString noControl;
        QTest::newRow("SIGNUPERR001 registered") << kUp << 2 << owner << "Strong123"
                                                 << "Lee" << noControl << "SIGNUPERR001" << true << false;
        QTest::newRow("SIGNUPERR002 weak") << kUp << 2 << "weak@example.lab"
                                           << "abc"
                                           << "Lee" << noControl << "SIGNUPERR002" << false << true;
        QTest::newRow("SIGNUPERR004 space") << kUp << 2 << "space@example.lab"
                                            << "has space1"
                                            << "Lee" << noControl << "SIGNUPERR004" << false << true;
        QTest::newRow("SIGNUPERR005 no name") << kUp << 2 << "noname@example.lab"
                                              << "Strong123"
                                              << "" << noControl << "SIGNUPERR005" << false << false;
        QTest::newRow("SIGNUPERR006 address") << kUp << 2 << "\"a@b\"@example.lab"
                                              << "Strong123"
                                              << "Lee" << noControl << "SIGNUPERR006" << true << false;
        QTest::newRow("SIGNINERR001 no account") << kIn << 1 << "nobody@example.lab"
                                                 << "Cloud123"
                                                 << "" << noControl << "SIGNINERR001" << false << false;
        QTest::newRow("SIGNINERR002 wrong password") << kIn << 1 << owner << "Wrong123"
                                                     << "" << noControl << "SIGNINERR002" << false << false;
        QTest::newRow("SIGNINERR003 no password") << kIn << 1 << owner << ""
                                                  << "" << noControl << "SIGNINERR003" << false << false;
        QTest::newRow("BINDERR001 success without the cookie") << kSplit << 1 << owner << "Cloud123"
                                                               << ""
                                                               << "fault portal http-no-cookie@/account/?signin"
                                                               << "BINDERR001" << false << false;
        QTest::newRow("BINDERR002 refused") << kSplit << 1 << owner << "Cloud123"
                                            << ""
                                            << "portal refuse-bind yes"
                                            << "BINDERR002" << false << false;
        Recorder unknown = kIn;
        unknown.number = QStringLiteral("999999");
        QTest::newRow("BINDERR003 unknown number") << unknown << 1 << owner << "Cloud123"
                                                   << "" << noControl << "BINDERR003" << false << false;
        Recorder fingerprint = kIn;
        fingerprint.dfp = QStringLiteral("wrong");
        QTest::newRow("BINDERR004 fingerprint") << fingerprint << 1 << owner << "Cloud123"
                                                << "" << noControl << "BINDERR004" << false << false;
        Recorder devicePassword = kIn;
        devicePassword.password = QStringLiteral("Wrong999");
        QTest::newRow("BINDERR005 device password") << devicePassword << 1 << owner << "Cloud123"
                                                    << "" << noControl << "BINDERR005" << false << false;
        QTest::newRow("BINDERR006 another account") << kTaken << 1 << owner << "Cloud123"
                                                    << "" << noControl << "BINDERR006" << false << false;
        QTest::newRow("bind answer of another model") << kOther << 1 << owner << "Cloud123"
                                                      << "" << noControl << "(HXT-908Q)" << false << false;
    }

    // The portal's known codes as translated messages with their code in small text, other answers in the portal's
    // own words as plain text (never its markup); the markers its codes call for.
    void refusalsAreShownAndKeepThePage()
    {
        QFETCH(Recorder, recorder);
        QFETCH(int, mode);
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(QString, last);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        QFETCH(bool, emailMarker);
        QFETCH(bool, passwordMarker);
        QVERIFY(SimulatorControl(control));
        PageRun run(recorder);
        Attempt attempt { mode, email, password };
        attempt.last = last;
        const Outcome outcome = run.attempt(attempt);
        QVERIFY(SimulatorControl(Undo(control)));
        QVERIFY(outcome.posted.empty());
        QCOMPARE(outcome.errorBox, QString());
        const QString message = run.page->messageText();
        // A known code: its translated message, the code itself in the small line under it.
        if (shown.contains(QStringLiteral("ERR")))
            QCOMPARE(run.page->answerCodeText(), shown);
        else
            QVERIFY2(message.contains(shown), qPrintable(message));
        QVERIFY2(!message.contains(QLatin1Char('<')) && !message.contains(QLatin1Char('\n')), qPrintable(message));
        QVERIFY(run.page->findChild<QWidget*>("message")->isVisible());
        QCOMPARE(run.page->emailMarkerOn(), emailMarker);
        QCOMPARE(run.page->passwordMarkerOn(), passwordMarker);
        QCOMPARE(run.context.Session().CloudEmail(), std::string());
    }

    void networkFailuresShowThePageMessage_data()
    {
        QTest::addColumn<Recorder>("recorder");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("portalHost");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("cause"); // the key of what the error box says
        const QString lab = QString::fromStdString(PortalHost());
        const QString portalSilent = QStringLiteral("neterr_portal_no_answer");
        const QString recorderFailed = QStringLiteral("neterr_portal_recorder");
        QTest::newRow("sign-in answer -1") << kIn << 1 << "owner@example.lab" << lab
                                           << "fault portal http-truncated@/account/?signin" << portalSilent;
        QTest::newRow("bind answer -1") << kIn << 1 << "owner@example.lab" << lab
                                        << "fault portal http-truncated@/account/?add" << portalSilent;
        // The recorder at 10.77.0.10 answers HTTPS on 443 with a certificate of its own making.
        QTest::newRow("portal certificate not trusted") << kIn << 1 << "owner@example.lab"
                                                        << "10.77.0.10"
                                                        << "" << portalSilent;
        QTest::newRow("registration status refused")
            << kStatus << 1 << "owner@example.lab" << lab << "" << recorderFailed;
        QTest::newRow("final registration refused")
            << kFinal << 2 << "final@example.lab" << lab << "" << recorderFailed;
    }

    void networkFailuresShowThePageMessage()
    {
        QFETCH(Recorder, recorder);
        QFETCH(int, mode);
        QFETCH(QString, email);
        QFETCH(QString, portalHost);
        QFETCH(QString, control);
        QFETCH(QString, cause);
        QVERIFY(SimulatorControl(control));
        PageRun run(recorder, portalHost.toStdString());
        const Outcome outcome = run.attempt({ mode, email, mode == 2 ? "Strong123" : "Cloud123" });
        QVERIFY(SimulatorControl(Undo(control)));
        QCOMPARE(outcome.errorBox, QString::fromStdString(Text(cause.toStdString(), "-")));
        QVERIFY(outcome.retryOffered);
        // The lab's portal is one of the maker's there; an address the recorder names is asked about first.
        QCOMPARE(outcome.portalHostAsked.contains(portalHost), portalHost == "10.77.0.10");
        QVERIFY(outcome.posted.empty());
        QCOMPARE(run.page->messageText(), QString()); // never "-1"
        QCOMPARE(run.context.Session().CloudEmail(), std::string());
        QCOMPARE(run.context.Session().cloudNumber, std::string());
        if (portalHost == "10.77.0.10") // refused in the handshake: no request reached that server
            QCOMPARE(RequestsSeen(QStringLiteral("nvr-up"), QStringLiteral("POST")), 0);
    }

    // The final registration request fails once after the sign-up and the bind went through: NEXT again with the
    // same entries sends only that request again, so the portal is not asked for the account a second time (it
    // would answer "already registered") and the page advances.
    void retryAfterAFailedFinalRegistrationSendsOnlyThatRequest()
    {
        QVERIFY(SimulatorControl("fault nvr-retry http-409*1@/config/quelmoreginfo?status"));
        PageRun run(kRetry);
        const Outcome first = run.attempt({ 2, "retry@example.lab", "Strong123" });
        QCOMPARE(first.errorBox, QString::fromStdString(Text("neterr_portal_recorder", "-")));
        QVERIFY(first.retryOffered);
        QVERIFY(first.posted.empty());
        const Outcome second = run.next();
        QVERIFY2(second.advanced(), qPrintable(run.page->messageText() + second.errorBox));
        const QString portal = QStringLiteral("portal");
        QCOMPARE(RequestsHolding(portal, QStringLiteral("POST /signin"), QStringLiteral("email=retry@example.lab")), 1);
        QCOMPARE(RequestsHolding(portal, QStringLiteral("POST /account/?add"), QStringLiteral("tovra_no=700009")), 1);
        QCOMPARE(RecorderCloud("nvr-retry").value("email").toString(), QStringLiteral("retry@example.lab"));
    }

    // A sign-up whose portal and recorder answer slowly runs past the 50 s a waiting box lasts by default: the box
    // stays to the end and the page advances.
    void longChainKeepsItsWaitingBox()
    {
        QVERIFY(SimulatorControl("fault portal http-slow:13000"));
        PageRun run(kSlow);
        const Outcome outcome = run.attempt({ 2, "slow@example.lab", "Strong123" });
        QVERIFY(SimulatorControl("fault portal none"));
        QVERIFY2(outcome.advanced(), qPrintable(run.page->messageText() + outcome.errorBox));
        QVERIFY2(outcome.ms > 50000, qPrintable(QString::number(outcome.ms)));
        QCOMPARE(RecorderCloud("nvr-slow").value("email").toString(), QStringLiteral("slow@example.lab"));
    }
};

QTEST_MAIN(CloudPageE2e)
#include "cloud_page_e2e.moc"
