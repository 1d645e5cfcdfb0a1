// The recorder pages without a recorder: the password rule on ASCII ranges and the strength hint, the create
// mode's live checks and when they run, the password entries, the log-in password the datagram cannot carry,
// the request worker joined when the page goes, and the search list's radio cells and help icon.

#include "PagesTestSupport.h"

#include "device/NvrClient.h"
#include "i18n/Localization.h"
#include "../../unit/support/LoopbackPeer.h"
#include "discovery/DatagramHeader.h"
#include "discovery/DeviceRecord.h"
#include "discovery/SearchDevice.h"
#include "pages/RecorderListHeader.h"
#include "pages/RecorderSearchPage.h"
#include "pages/RecorderList.h"
#include "pages/RecorderPasswordPage.h"
#include "pages/PasswordRule.h"
#include "session/WizardContext.h"
#include "ui/ErrorLine.h"
#include "ui/PictureBox.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/RoundedFrame.h"
#include "ui/Messages.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QTest>
#include <memory>

namespace {

QString Message(const char* key, const char* fallback, bool prefixed = true)
{
    const QString text = QString::fromStdString(Text(key, fallback));
    return prefixed ? QString::fromStdString(Text("Error", "Error")) + QStringLiteral(": ") + text : text;
}

// A password page over a bare host, with the probe's flags as a finished probe left them.
struct PasswordPage
{
    RecordingHost host;
    WizardContext context { {}, {} };
    std::unique_ptr<RecorderPasswordPage> page;

    explicit PasswordPage(bool recorderHasPassword)
    {
        DefaultLoginProbe& probe = context.Probe();
        probe.probeBusy.store(0);
        probe.defaultLoginAccepted.store(recorderHasPassword ? 0 : 1);
        probe.defaultLoginRefused.store(recorderHasPassword ? 1 : 0);
        page = std::make_unique<RecorderPasswordPage>(&host, context);
        page->show();
    }
    template <class T> T* child(const char* name) const { return page->findChild<T*>(QString::fromLatin1(name)); }
    PlainLineEdit* entry(const char* name) const { return child<PlainLineEdit>(name); }
    QString errorLine() const
    {
        auto* line = child<ErrorLine>("errorLine");
        return line->isVisible() ? line->text() : QString();
    }
    bool red(const char* frame) const { return child<RoundedFrame>(frame)->border() == 0xFFFF0000u; }
    void focusOut(const char* name, Qt::FocusReason reason) const
    {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(entry(name), &out);
    }
};

} // namespace

namespace {

// Search answer n: an HXT-914Q at 10.77.0.10 with the MAC 02:1b:00:00:hh:ll (hh ll = n).
Bytes SearchAnswer(int n)
{
    Bytes answer(DeviceRecord::kAnswerSize, 0);
    const auto header = DatagramHeader::SearchRequest().Bytes();
    std::copy(header.begin(), header.end(), answer.begin());
    const std::string model = "HXT-914Q";
    std::copy(model.begin(), model.end(), answer.begin() + DeviceRecord::kModelOffset);
    const uint8_t mac[6] = { 0x02, 0x1b, 0, 0, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n) };
    std::copy(mac, mac + 6, answer.begin() + DeviceRecord::kMacOffset);
    const uint8_t ip[4] = { 10, 77, 0, 10 };
    std::copy(ip, ip + 4, answer.begin() + DeviceRecord::kIpv4Offset);
    answer[DeviceRecord::kWebPortOffset] = 80;
    return answer;
}

} // namespace

class PagesRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { SelectLanguage(0); }

    void passwordRuleOnAsciiRangesAndStrength_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<int>("strength"); // PasswordStrength, for a password that passes
        QTest::newRow("six digits: weak, taken") << "123456" << true << int(PasswordStrength::Weak);
        QTest::newRow("five") << "abc12" << false << 0;
        QTest::newRow("31 letters") << QString(31, QLatin1Char('a')) << true << int(PasswordStrength::Weak);
        QTest::newRow("32 letters") << QString(32, QLatin1Char('a')) << false << 0;
        QTest::newRow("space") << "abc 123" << false << 0;
        QTest::newRow("hyphen") << "abc-123" << false << 0;
        QTest::newRow("accented letter") << QStringLiteral("abcdé1") << false << 0;
        QTest::newRow("cyrillic letter") << QStringLiteral("abcdж1") << false << 0;
        QTest::newRow("full-width digits") << QStringLiteral("abc１２３") << false << 0;
        QTest::newRow("two kinds, 10") << "garden2024" << true << int(PasswordStrength::Medium);
        QTest::newRow("three kinds, 10") << "Garden2024" << true << int(PasswordStrength::Strong);
        QTest::newRow("three kinds, 7") << "Gard024" << true << int(PasswordStrength::Weak);
    }

    void passwordRuleOnAsciiRangesAndStrength()
    {
        QFETCH(QString, password);
        QFETCH(bool, passes);
        QFETCH(int, strength);
        QCOMPARE(PasswordPassesRule(password), passes);
        if (passes)
            QCOMPARE(int(StrengthOf(password)), strength);
    }

    // Typing checks the rule at once; moving on checks the confirmation, but only when the user moves on.
    void createModeChecksWhileTypingAndWhenTheUserMovesOn()
    {
        PasswordPage f(false);
        QVERIFY(!f.page->loginMode());
        QVERIFY(f.entry("confirm")->isVisible());
        const QString rule = Message("nvrpwd_04", "");
        for (const char c : QByteArray("abc12")) {
            QTest::keyClicks(f.entry("password"), QString(QLatin1Char(c)));
            QCOMPARE(f.errorLine(), rule);
            QVERIFY(f.red("passwordFrame"));
            QVERIFY(f.child<PictureBox>("passwordErrorIcon")->isVisible());
        }
        QTest::keyClicks(f.entry("password"), QStringLiteral("3"));
        QCOMPARE(f.errorLine(), QString());
        QVERIFY(!f.red("passwordFrame"));
        // Passing, but weak: said beside it, never refused.
        auto* strength = f.child<TextLabel>("strength");
        QVERIFY(strength->isVisible());
        QCOMPARE(strength->text(), QString::fromStdString(Text("nvrpwd_10", "")));

        f.entry("confirm")->setText(QStringLiteral("abc124"));
        // An overlay or another window taking the focus checks nothing.
        f.focusOut("confirm", Qt::ActiveWindowFocusReason);
        f.focusOut("confirm", Qt::OtherFocusReason);
        f.focusOut("confirm", Qt::PopupFocusReason);
        QCOMPARE(f.errorLine(), QString());
        f.focusOut("confirm", Qt::TabFocusReason);
        QCOMPARE(f.errorLine(), Message("nvrpwd_03", ""));
        QVERIFY(f.red("confirmFrame"));
        QVERIFY(f.child<PictureBox>("confirmErrorIcon")->isVisible());
        f.entry("confirm")->setText(QStringLiteral("abc123"));
        QCOMPARE(f.errorLine(), QString());
        f.focusOut("password", Qt::MouseFocusReason);
        QCOMPARE(f.errorLine(), QString());
        QVERIFY(f.host.take().empty());
    }

    void passwordEntriesTakeOneLineWithoutInputMethodOrForeignMenu()
    {
        PasswordPage f(false);
        for (const char* name : { "password", "confirm" }) {
            PlainLineEdit* entry = f.entry(name);
            entry->setFocus(Qt::TabFocusReason);
            QVERIFY(!entry->testAttribute(Qt::WA_InputMethodEnabled));
            QCOMPARE(entry->contextMenuPolicy(), Qt::NoContextMenu);
            QVERIFY(entry->passwordMode());
            QGuiApplication::clipboard()->setText(QStringLiteral("ab\r\ncd\n12\r"));
            entry->clear();
            entry->paste();
            QCOMPARE(entry->text(), QStringLiteral("abcd12"));
        }
    }

    // The login datagram carries 48 bytes of a password: more is refused at once, counted in UTF-8 bytes.
    void loginPasswordTheDatagramCannotCarryIsRefusedBeforeSending_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("refused");
        QTest::newRow("48 bytes") << QString(48, QLatin1Char('a')) << false;
        QTest::newRow("49 bytes") << QString(49, QLatin1Char('a')) << true;
        QTest::newRow("25 letters, 50 bytes") << QString(25, QChar(0xE9)) << true;
    }

    void loginPasswordTheDatagramCannotCarryIsRefusedBeforeSending()
    {
        QFETCH(QString, password);
        QFETCH(bool, refused);
        PasswordPage f(true);
        QVERIFY(f.page->loginMode());
        f.entry("password")->setText(password);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(f.page->nextButton(), Qt::LeftButton);
        if (refused) {
            QCOMPARE(f.errorLine(), Message("nvrpwd_07", ""));
            QVERIFY(f.red("passwordFrame"));
            QVERIFY(clock.elapsed() < 400); // no waiting box, no worker
            QCOMPARE(f.context.Client().State(), int32_t(NvrClient::Idle));
        } else {
            // Handed to the worker, which finds no recorder to send it to: no text, as for any unsent login.
            QCOMPARE(f.errorLine(), QString());
            QVERIFY(clock.elapsed() >= 450);
        }
        QVERIFY(!f.page->requestBusy());
        QVERIFY(f.host.take().empty());
    }

    // The host calls Leave while the waiting box of a request is up: the worker stops and is joined there.
    void leaveJoinsTheRequestWorker()
    {
        PasswordPage f(true);
        f.entry("password")->setText(QStringLiteral("Secret99"));
        bool busyAfterLeave = true;
        qint64 leaveMs = -1;
        QTimer::singleShot(150, f.page.get(), [&] {
            QVERIFY(f.page->requestBusy());
            QElapsedTimer clock;
            clock.start();
            f.page->Leave();
            leaveMs = clock.elapsed();
            busyAfterLeave = f.page->requestBusy();
        });
        QTest::mouseClick(f.page->nextButton(), Qt::LeftButton);
        QVERIFY(leaveMs >= 0 && leaveMs < 300);
        QVERIFY(!busyAfterLeave);
        QVERIFY(f.host.take().empty()); // a page that went posts nothing
    }

    void listChoosesByTheRadioCellOnly()
    {
        RecordingHost host;
        RecorderList list(&host);
        list.setGeometry(0, 0, 688, 220);
        list.show();
        FillRecorderList(list, 3);
        list.SetChecked(0);
        const QRect ipCell = list.visualRect(list.model()->index(1, RecorderList::kIpColumn));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, ipCell.center());
        QCOMPARE(list.CheckedRow(), 0);
        QVERIFY(host.take().empty());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RadioCellRect(1).center());
        QCOMPARE(list.CheckedRow(), 1);
        QVERIFY(!list.IsChecked(0) && !list.IsChecked(2));
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_ROW_SELECTED, 0, 0 } }));

        // The header's help icon asks the page for the MAC label.
        list.SetTitles(QStringLiteral("IP Address"), QStringLiteral("Mac Address"));
        RecorderListHeader* header = list.Header();
        const QRect icon = header->HelpIconRect();
        QVERIFY(icon.left() > header->sectionViewportPosition(RecorderList::kMacColumn));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, icon.center());
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_OPEN_OVERLAY, 4, 0 } }));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, icon.center() - QPoint(60, 0));
        QVERIFY(host.take().empty());
    }

    // The columns keep their given widths, the narrow ones too (Qt's minimum section size would widen them and push
    // the MAC column right).
    void listColumnsKeepTheirWidths()
    {
        RecordingHost host;
        RecorderList list(&host);
        list.setGeometry(0, 0, 688, 220);
        list.show();
        const int widths[RecorderList::kColumnCount] = { 60, 40, 25, 40, 30, 200, 20, 210 };
        int left = 0;
        for (int column = 0; column < RecorderList::kColumnCount; ++column) {
            QCOMPARE(list.columnWidth(column), widths[column]);
            QCOMPARE(list.Header()->sectionPosition(column), left);
            left += widths[column];
        }
    }

    // A flood of answers on loopback: the list holds what the search kept and says under it that more came; a
    // search that kept everything says nothing.
    void aSearchThatLeftAnswersOutSaysSoUnderTheList_data()
    {
        QTest::addColumn<int>("answers");
        QTest::newRow("a few") << 3;
        QTest::newRow("past the cap") << static_cast<int>(SearchDevice::kMaxAnswersPerSearch) + 60;
    }

    void aSearchThatLeftAnswersOutSaysSoUnderTheList()
    {
        QFETCH(int, answers);
        LoopbackPeer recorders([answers](const Bytes&) {
            std::vector<Bytes> sent;
            for (int n = 0; n < answers; ++n)
                sent.push_back(SearchAnswer(n));
            return sent;
        });
        WizardContext context { {}, {} };
        context.DiscoveryEngine().SetAddressSource([] { return std::vector<std::string> { "127.0.0.1" }; });
        context.DiscoveryEngine().SetSearchTarget("127.0.0.1", recorders.Port());
        context.DiscoveryEngine().SetSearchWindow(1500);
        RecordingHost host;
        RecorderSearchPage page(&host, context);
        page.show();
        QVERIFY(WaitFor([&] { return page.searchRunning(); }, 3000));
        QVERIFY(WaitFor([&] { return !page.searchRunning(); }, 10000));
        const bool capped = answers > static_cast<int>(SearchDevice::kMaxAnswersPerSearch);
        QCOMPARE(page.list()->rowCount(), capped ? static_cast<int>(SearchDevice::kMaxAnswersPerSearch) : answers);
        QCOMPARE(page.capNoteText().isEmpty(), !capped);
        if (capped)
            QVERIFY2(page.capNoteText().contains(QStringLiteral("2048")), qPrintable(page.capNoteText()));
        page.Leave();
    }
};

QTEST_MAIN(PagesRecorderTest)
#include "pages_recorder_test.moc"
