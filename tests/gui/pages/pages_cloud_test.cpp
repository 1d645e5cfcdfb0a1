// The cloud page without a network: its three modes and their rows, the message table (choices, commands, the
// terms box and link), the checks run on leaving an edit and on NEXT, declining, a portal address that is no host
// name, and leaving the page while a chain waits under the waiting box.

#include "../support/SilentServer.h"
#include "PagesTestSupport.h"

#include "device/NvrClient.h"
#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "overlays/PortalHostAlert.h"
#include "overlays/WaitingBox.h"
#include "pages/CloudPage.h"
#include "pages/TermsHelp.h"
#include "session/WizardContext.h"
#include "ui/SmallLink.h"
#include "ui/PlainLineEdit.h"
#include "ui/FilledLayeredPictureButton.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <memory>

namespace {

const QString kInvalidEmail = QStringLiteral("Error: Invalid email address!");
const QString kMismatch = QStringLiteral("Error: The passwords doesn't match!");

// A page 11 on a bare host, its recorder and portal values set as the camera page leaves them.
struct Fixture
{
    WizardContext context { [] {}, [] {} };
    RecordingHost host;
    CloudPage* page = nullptr;

    explicit Fixture(const std::string& portalHost = "cloud.quelmo.lab")
    {
        context.Session().SetNvrIp("10.77.0.10");
        context.Session().SetNvrMac("00:1a:2b:3c:4d:5e");
        context.Session().SetNvrUser("admin");
        context.Session().SetNvrPassword("Secret99");
        context.Portal().access = "1";
        context.Portal().status = "0";
        context.Portal().portal_url = portalHost;
        context.Portal().portal_number = "700001";
        context.Portal().portal_dfp = "dfp";
        page = new CloudPage(&host, context);
        page->show();
        QApplication::setActiveWindow(&host);
    }
    ~Fixture()
    {
        page->Leave();
        delete page;
    }

    template <class T = QWidget> T* find(const char* name) const
    {
        T* widget = page->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no widget %s", name);
        return widget;
    }
    PlainLineEdit* edit(const char* name) const { return find<PlainLineEdit>(name); }
    // Presses a button the way the mouse does (choice buttons act on the press).
    void press(const char* name)
    {
        QTest::mouseClick(find(name), Qt::LeftButton);
        host.take();
    }
    // Types into an edit and leaves it, as the user does.
    void enter(const char* name, const QString& text)
    {
        PlainLineEdit* field = edit(name);
        field->setFocus(Qt::MouseFocusReason);
        field->clear();
        QTest::keyClicks(field, text);
        page->setFocus(Qt::TabFocusReason);
        host.take();
    }
    bool nextEnabled() const { return page->nextButton()->isEnabled() && !page->nextButton()->disabledLook(); }
    std::vector<RecordedMessage> next()
    {
        page->nextButton()->click();
        return host.take();
    }
};

} // namespace

class CloudPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SelectLanguage(0); }

    void choicesShowTheirRowsAndClearTheEntries_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("accountRows");
        QTest::addColumn<bool>("signUpRows");
        QTest::addColumn<bool>("nextEnabled");
        QTest::newRow("sign up") << "signUpChoice" << 2 << true << true << false;
        QTest::newRow("decline") << "declineChoice" << 3 << false << false << true;
        QTest::newRow("sign in again") << "signInChoice" << 1 << true << false << true;
    }

    void choicesShowTheirRowsAndClearTheEntries()
    {
        QFETCH(QString, choice);
        QFETCH(int, mode);
        QFETCH(bool, accountRows);
        QFETCH(bool, signUpRows);
        QFETCH(bool, nextEnabled);
        Fixture f;
        if (mode == 1)
            f.press("signUpChoice"); // from another mode back to signing in
        f.enter("emailEdit", QStringLiteral("anna@example"));
        f.enter("passwordEdit", QStringLiteral("Sunflower7"));
        // Signing up, leaving the password with no confirmation yet shows the mismatch.
        QCOMPARE(f.page->messageText(), mode == 1 ? kMismatch : kInvalidEmail);
        QVERIFY(f.page->emailMarkerOn());

        f.press(qPrintable(choice));
        QCOMPARE(f.page->mode(), mode);
        QCOMPARE(f.find<FilledLayeredPictureButton>(qPrintable(choice))->latched(), true);
        QCOMPARE(f.edit("emailEdit")->text(), QString());
        QCOMPARE(f.edit("passwordEdit")->text(), QString());
        QCOMPARE(f.page->messageText(), QString());
        QVERIFY(!f.find("message")->isVisible());
        QVERIFY(!f.page->emailMarkerOn());
        for (const char* row : { "emailFrame", "passwordFrame" })
            QCOMPARE(f.find(row)->isVisible(), accountRows);
        for (const char* row : { "confirmFrame", "firstNameFrame", "lastNameFrame", "termsBox", "termsLink" })
            QCOMPARE(f.find(row)->isVisible(), signUpRows);
        QCOMPARE(f.nextEnabled(), nextEnabled);
    }

    // In sign-up mode the terms box alone decides whether NEXT can be pressed.
    void termsBoxEnablesNextForSignUp()
    {
        Fixture f;
        f.press("signUpChoice");
        QVERIFY(!f.nextEnabled());
        QVERIFY(f.next().empty()); // a disabled NEXT does nothing
        f.press("termsBox");
        QVERIFY(f.page->termsAccepted());
        QVERIFY(f.nextEnabled());
        f.press("termsBox");
        QVERIFY(!f.page->termsAccepted());
        QVERIFY(!f.nextEnabled());
        f.press("signInChoice");
        QVERIFY(f.nextEnabled());
    }

    void commandsClearTheAccountFields()
    {
        Fixture f;
        f.press("signUpChoice");
        f.enter("emailEdit", QStringLiteral("anna@example.com"));
        f.enter("passwordEdit", QStringLiteral("Sunflower7"));
        f.enter("confirmEdit", QStringLiteral("Sunflower8"));
        f.enter("lastNameEdit", QStringLiteral("Lindqvist"));
        QCOMPARE(f.page->messageText(), kMismatch);
        QVERIFY(f.page->passwordMarkerOn());
        // Clicking the chosen choice again sends its command: the account fields and the message go.
        f.press("signUpChoice");
        QCOMPARE(f.page->mode(), 2);
        for (const char* name : { "emailEdit", "passwordEdit", "confirmEdit" })
            QCOMPARE(f.edit(name)->text(), QString());
        QCOMPARE(f.edit("lastNameEdit")->text(), QStringLiteral("Lindqvist"));
        QCOMPARE(f.page->messageText(), QString());

        f.enter("emailEdit", QStringLiteral("x"));
        PostWindowMessage(f.page, CloudPage::WM_COMMAND, CloudPage::kIdSignInChoice);
        f.host.take();
        QCOMPARE(f.edit("emailEdit")->text(), QString());
        QCOMPARE(f.page->messageText(), QString());
    }

    void termsLinkOpensTheTerms()
    {
        Fixture f;
        f.press("signUpChoice");
        bool shown = false;
        WhenShown<TermsHelp>(f.page, [&](TermsHelp* terms) {
            shown = true;
            terms->End(ModalLayer::IDOK);
        });
        QTest::mouseClick(f.find<SmallLink>("termsLink"), Qt::LeftButton);
        f.host.take();
        QVERIFY(shown);
    }

    void emailMarkerGoesOffOnceTheAddressIsValid()
    {
        Fixture f;
        f.enter("emailEdit", QStringLiteral("anna@example"));
        QCOMPARE(f.page->messageText(), kInvalidEmail);
        QVERIFY(f.page->emailMarkerOn());
        QVERIFY(f.find("emailMarker")->isVisible());
        QTest::keyClicks(f.edit("emailEdit"), QStringLiteral(".co"));
        QVERIFY(!f.page->emailMarkerOn()); // while typing, before the edit is left
        QVERIFY(!f.find("emailMarker")->isVisible());
        QCOMPARE(f.page->messageText(), kInvalidEmail);
        f.enter("emailEdit", QStringLiteral("anna@example.com"));
        QCOMPARE(f.page->messageText(), QString()); // the check passed: its message goes
    }

    // A check that fails keeps the page and sends nothing at all.
    void failedChecksSendNothing_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("emailMarker");
        QTest::addColumn<bool>("passwordMarker");
        QTest::newRow("different") << "anna@example.com"
                                   << "Sunflower7"
                                   << "Sunflower8" << kMismatch << false << true;
        QTest::newRow("case differs") << "anna@example.com"
                                      << "Sunflower7"
                                      << "sunflower7" << kMismatch << false << true;
        QTest::newRow("no confirmation") << "anna@example.com"
                                         << "Sunflower7"
                                         << "" << kMismatch << false << true;
        QTest::newRow("bad address") << "anna@example"
                                     << "Sunflower7"
                                     << "Sunflower7" << kInvalidEmail << true << false;
    }

    void failedChecksSendNothing()
    {
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(QString, shown);
        QFETCH(bool, emailMarker);
        QFETCH(bool, passwordMarker);
        Fixture f;
        f.press("signUpChoice");
        f.press("termsBox");
        PlainLineEdit* fields[] = { f.edit("emailEdit"), f.edit("passwordEdit"), f.edit("confirmEdit") };
        const QString texts[] = { email, password, confirmation };
        for (int i = 0; i < 3; ++i)
            QTest::keyClicks(fields[i], texts[i]);
        QCOMPARE(f.edit("confirmEdit")->DisplayedText(), QString(confirmation.size(), QChar(0x25CF)));
        QVERIFY(f.next().empty());
        QCOMPARE(f.page->messageText(), shown);
        QCOMPARE(f.page->emailMarkerOn(), emailMarker);
        QCOMPARE(f.page->passwordMarkerOn(), passwordMarker);
        QCOMPARE(f.find("passwordMarker")->isVisible(), passwordMarker);
        QCOMPARE(f.find("confirmMarker")->isVisible(), passwordMarker);
        QVERIFY(!f.page->chainBusy());
        QCOMPARE(f.context.Client().State(), int32_t(NvrClient::Idle)); // no request was ever issued
    }

    void declineEmptiesAccessAndAdvances()
    {
        Fixture f;
        f.press("declineChoice");
        const auto posted = f.next();
        QCOMPARE(posted, (std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        QCOMPARE(f.context.Portal().access, std::string());
        QCOMPARE(f.context.Session().CloudEmail(), std::string());
    }

    // The recorder names the portal; what is not a host name is a network failure and is never requested.
    void portalAddressThatIsNoHostName_data()
    {
        QTest::addColumn<QString>("portal");
        for (const char* portal : { "https://cloud.quelmo.lab/", "cloud.quelmo.lab:443", "cloud.quelmo.lab/x?y",
                 "cloud quelmo.lab", "cloud_quelmo.lab", "" })
            QTest::newRow(portal) << portal;
    }

    void portalAddressThatIsNoHostName()
    {
        QFETCH(QString, portal);
        for (const char* choice : { "signInChoice", "signUpChoice" }) {
            Fixture f(portal.toStdString());
            f.press(choice);
            if (f.page->mode() == 2)
                f.press("termsBox");
            f.enter("emailEdit", QStringLiteral("anna@example.com"));
            QString error;
            WhenShown<ErrorAlert>(f.page, [&](ErrorAlert* box) {
                error = box->message();
                box->End(ModalLayer::IDOK);
            });
            QVERIFY(f.next().empty());
            QCOMPARE(error, QString::fromStdString(Text("neterr_portal_no_answer", "-")));
            QCOMPARE(f.context.Client().State(), int32_t(NvrClient::Idle));
            QCOMPARE(f.page->messageText(), QString());
        }
    }

    // A known refusal code reads as a translated message with the next step, its code in small text under it; any
    // other answer stays in the portal's words, without a code line. Every code has its text in every pack.
    void portalRefusalsSayWhatToDo_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("key"); // empty: shown as the portal wrote it
        QTest::addColumn<QString>("code");
        QTest::newRow("already registered") << 2 << "<p>SIGNUPERR001: This e-mail address is already registered.</p>"
                                            << "portal_signup_001" << "SIGNUPERR001";
        QTest::newRow("weak password") << 2 << "SIGNUPERR002" << "portal_signup_002" << "SIGNUPERR002";
        QTest::newRow("no such account") << 1 << "SIGNINERR001: no account" << "portal_signin_001" << "SIGNINERR001";
        QTest::newRow("wrong password") << 1 << "SIGNINERR002" << "portal_signin_002" << "SIGNINERR002";
        QTest::newRow("another account's NVR") << 1 << "BINDERR006 taken" << "portal_bind_006" << "BINDERR006";
        // Every known code, as it stands alone in an answer.
        const std::pair<const char*, const char*> codes[] = { { "SIGNUPERR001", "portal_signup_001" },
            { "SIGNUPERR002", "portal_signup_002" }, { "SIGNUPERR003", "portal_signup_003" },
            { "SIGNUPERR004", "portal_signup_004" }, { "SIGNUPERR005", "portal_signup_005" },
            { "SIGNUPERR006", "portal_signup_006" }, { "SIGNUPERR007", "portal_signup_007" },
            { "SIGNINERR001", "portal_signin_001" }, { "SIGNINERR002", "portal_signin_002" },
            { "SIGNINERR003", "portal_signin_003" }, { "BINDERR001", "portal_bind_001" },
            { "BINDERR002", "portal_bind_002" }, { "BINDERR003", "portal_bind_003" },
            { "BINDERR004", "portal_bind_004" }, { "BINDERR005", "portal_bind_005" },
            { "BINDERR006", "portal_bind_006" } };
        for (const auto& [code, key] : codes)
            QTest::newRow(code) << (QByteArray(code).startsWith("SIGNUP") ? 2 : 1) << code << key << code;
        QTest::newRow("unknown code") << 1 << "SIGNINERR099: Try later." << "" << "";
        QTest::newRow("no code") << 1 << "Service unavailable" << "" << "";
    }

    void portalRefusalsSayWhatToDo()
    {
        QFETCH(int, mode);
        QFETCH(QString, answer);
        QFETCH(QString, key);
        QFETCH(QString, code);
        for (int language = 0; language < 6; ++language) {
            SelectLanguage(language);
            Fixture f;
            f.press(mode == 2 ? "signUpChoice" : "signInChoice");
            CloudStep::Outcome outcome;
            outcome.answer = answer.toStdString();
            f.page->ShowOutcome(outcome);
            if (key.isEmpty()) {
                QCOMPARE(f.page->messageText(), answer);
                QCOMPARE(f.page->answerCodeText(), QString());
                QVERIFY(!f.find("answerCode")->isVisible());
                continue;
            }
            const QString english = [&] {
                SelectLanguage(0);
                const QString text = QString::fromStdString(Text(key.toStdString(), ""));
                SelectLanguage(language);
                return text;
            }();
            QVERIFY2(!english.isEmpty(), qPrintable(key));
            QCOMPARE(f.page->messageText(), QString::fromStdString(Text(key.toStdString(), "")));
            QVERIFY2(language == 0 || f.page->messageText() != english, qPrintable(key)); // translated
            QCOMPARE(f.page->answerCodeText(), code);
            QVERIFY(f.find("answerCode")->isVisible());
            QVERIFY(f.find("answerCode")->geometry().top() > f.find("message")->geometry().bottom());
        }
        SelectLanguage(0);
    }

    // The recorder names the portal host: the page names it in every case, and before an account goes to a host
    // outside the maker's domains (an address included) it asks. Declined, nothing is sent and the page stays.
    void portalHostIsNamedAndOneOutsideTheMakersDomainsIsAskedAbout_data()
    {
        QTest::addColumn<QString>("portal");
        QTest::addColumn<bool>("asked");
        QTest::newRow("maker's domain") << "cloud.quelmo.com" << false;
        QTest::newRow("another domain") << "portal.example.net" << true;
        QTest::newRow("an address") << "127.0.0.1" << true;
        QTest::newRow("look-alike") << "quelmo.com.example.net" << true;
        QTest::newRow("the lab's domain outside the lab") << "cloud.quelmo.lab" << true;
    }

    void portalHostIsNamedAndOneOutsideTheMakersDomainsIsAskedAbout()
    {
        QFETCH(QString, portal);
        QFETCH(bool, asked);
        const QByteArray lab = qgetenv("LAB_PC");
        qunsetenv("LAB_PC");
        for (const char* choice : { "signInChoice", "signUpChoice" }) {
            Fixture f(portal.toStdString());
            QVERIFY2(f.page->portalHostText().contains(portal), qPrintable(f.page->portalHostText()));
            if (!asked)
                continue; // a host of the maker's is sent to at once: no question (and no network here)
            f.press(choice);
            if (f.page->mode() == 2)
                f.press("termsBox");
            f.enter("emailEdit", QStringLiteral("anna@example.com"));
            for (int attempt = 0; attempt < 2; ++attempt) {
                QString question;
                WhenShown<PortalHostAlert>(f.page, [&](PortalHostAlert* box) {
                    question = box->message();
                    QTest::mouseClick(box->findChild<FadingPictureButton*>(QStringLiteral("cancelButton")),
                        Qt::LeftButton);
                });
                QVERIFY(f.next().empty());
                QVERIFY2(question.contains(portal), qPrintable(question)); // asked again until agreed
                QCOMPARE(f.context.Client().State(), int32_t(NvrClient::Idle));
                QVERIFY(!f.page->chainBusy());
            }
        }
        if (!lab.isEmpty())
            qputenv("LAB_PC", lab);
    }

    // Leaving the page (as the host does when the window is closed) while a chain waits on a silent portal: the
    // chain ends within a second, the waiting box closes, and the page says and posts nothing more.
    void leavingUnderTheWaitingBoxEndsTheChain()
    {
        SilentServer silent;
        QVERIFY(silent.port > 0);
        Fixture f("127.0.0.1");
        f.context.Client().SetFixedPortConnection(silent.port, true);
        f.enter("emailEdit", QStringLiteral("anna@example.com"));
        WhenShown<PortalHostAlert>(f.page, [](PortalHostAlert* box) { box->End(ModalLayer::IDOK); });
        qint64 leaveMs = -1;
        bool boxShown = false;
        WhenShown<WaitingBox>(f.page, [&](WaitingBox*) {
            boxShown = true;
            QTimer::singleShot(500, f.page, [&] {
                QVERIFY(f.page->chainBusy());
                QElapsedTimer clock;
                clock.start();
                f.page->Leave();
                leaveMs = clock.elapsed();
            });
        });
        QElapsedTimer clock;
        clock.start();
        const auto posted = f.next();
        QVERIFY(boxShown);
        QVERIFY2(leaveMs >= 0 && leaveMs < 1000, qPrintable(QString::number(leaveMs)));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(posted.empty());
        QVERIFY(!f.page->chainBusy());
        QVERIFY(ModalLayer::Top() == nullptr); // no error box after the page was left
        QVERIFY(f.context.Client().State() != NvrClient::Busy);
    }
};

QTEST_MAIN(CloudPageTest)
#include "pages_cloud_test.moc"
