// Pages 6 and 7 in the lab against the simulator (recorders.conf), driven through their widgets as a user drives
// them: searches that fail, the list and its choices, two recorders on one address, the not-found help; then the
// password page for a new recorder, for one with a password, for one that never answers and for one the search
// did not find, with every message of its failure tables, the reset help and leaving while a request runs.

#include "../../gui/support/MessageRecorder.h"
#include "app/WizardHost.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "overlays/RecorderNotFoundHelp.h"
#include "overlays/ModalLayer.h"
#include "pages/MacLabelHelp.h"
#include "pages/RecorderListHeader.h"
#include "pages/RecorderList.h"
#include "pages/RecorderPasswordPage.h"
#include "pages/RecorderSearchPage.h"
#include "pages/ResetHelp.h"
#include "ui/ErrorLine.h"
#include "ui/IconCaptionButton.h"
#include "ui/HelpLink.h"
#include "ui/BusyIndicator.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/SmallLink.h"
#include "ui/WrappedText.h"
#include "ui/RoundedFrame.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

struct Recorder
{
    const char* name;
    const char* mac;
    const char* announced; // the address its search answer carries
};
const Recorder kFresh { "fresh", "00:1a:2b:3c:4d:5e", "10.77.0.10" };
const Recorder kOwned { "owned", "00:1a:2b:3c:4d:5f", "10.77.0.11" };
const Recorder kSilent { "silent", "00:1a:2b:3c:4d:67", "10.77.0.14" };
const Recorder kTwin { "twin", "00:1a:2b:3c:4d:70", "10.77.0.11" };
const Recorder kAway { "away", "00:1a:2b:3c:4d:71", "192.168.7.20" };
// What page 6 lists, per interface of the pc (eth0 10.77.0.2, eth1 10.77.0.3): not "other" (another model), not
// "zeroip" (0.0.0.0).
const Recorder kListed[] = { kFresh, kOwned, kSilent, kTwin, kAway };
constexpr int kListedCount = 5;

QString Qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QString ErrorText(const char* key)
{
    return Qs(Text("Error", "Error")) + QStringLiteral(": ") + Qs(Text(key, ""));
}

// Acts on the top-most running layer once it is of type T (within limitMs, else every layer is ended so the
// test fails instead of hanging). Layers run their own loops, so the act must be set up before what opens it.
template <class T> void WhenTop(QObject* context, int limitMs, std::function<void(T*)> act)
{
    auto* poll = new QTimer(context);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, context, [poll, clock, limitMs, act] {
        if (T* top = qobject_cast<T*>(ModalLayer::Top())) {
            poll->stop();
            poll->deleteLater();
            act(top);
        } else if (clock->elapsed() > limitMs) {
            poll->stop();
            poll->deleteLater();
            while (ModalLayer* layer = ModalLayer::Top())
                layer->End(ModalLayer::IDCANCEL);
        }
    });
    poll->start(10);
}

} // namespace

class PagesRecorderE2e : public QObject
{
    Q_OBJECT

private:
    QWidget frame;
    WizardHost* host = nullptr;

    template <class T> T* child(const char* name) const
    {
        return host->ShownPage()->findChild<T*>(QString::fromLatin1(name));
    }
    RecorderSearchPage* searchPage() const { return qobject_cast<RecorderSearchPage*>(host->ShownPage()); }
    RecorderPasswordPage* passwordPage() const { return qobject_cast<RecorderPasswordPage*>(host->ShownPage()); }
    RecorderList* list() const { return searchPage()->list(); }

    // A click, and what it posts delivered (a message passed on is posted again: one round each).
    static void click(QWidget* widget, QPoint at = QPoint())
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        for (int round = 0; round < 3; ++round)
            QCoreApplication::sendPostedEvents();
    }

    // The simulator's state file.
    static QJsonObject simState()
    {
        QFile file(qEnvironmentVariable("LAB_SIM_STATE"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    static int simEvents(const char* device, const char* kind)
    {
        int n = 0;
        for (const QJsonValue event : simState().value("events").toArray()) {
            const QJsonObject e = event.toObject();
            if (e.value("device").toString() == QLatin1String(device)
                && e.value("kind").toString() == QLatin1String(kind))
                ++n;
        }
        return n;
    }
    static QString simPassword(const char* recorder)
    {
        for (const QJsonValue r : simState().value("recorders").toArray()) {
            if (r.toObject().value("name").toString() == QLatin1String(recorder))
                return r.toObject().value("password").toString();
        }
        return QStringLiteral("<none>");
    }
    // A command on the simulator's control pipe, once it has been carried out.
    static bool sim(const QByteArray& line)
    {
        QFile pipe(qEnvironmentVariable("LAB_DIR") + QStringLiteral("/sim-control"));
        if (!pipe.open(QIODevice::WriteOnly))
            return false;
        pipe.write(line + '\n');
        pipe.close();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3000) {
            for (const QJsonValue event : simState().value("events").toArray()) {
                const QJsonObject e = event.toObject();
                if (e.value("kind").toString() == QLatin1String("control")
                    && e.value("detail").toString() == QString::fromLatin1(line))
                    return e.value("result").toString() == QLatin1String("ok");
            }
            QTest::qWait(20);
        }
        return false;
    }

    bool waitForSearchEnd(int limitMs = 12000) const
    {
        return QTest::qWaitFor([this] { return !searchPage()->searchRunning(); }, limitMs);
    }

    void rescan() const { click(child<IconCaptionButton>("rescan")); }

    // Shows page 7 for a recorder as page 6's NEXT leaves for it: the session, the probe, then NEXT; returns once
    // the page has its mode.
    RecorderPasswordPage* openPasswordPage(const Recorder& recorder, const char* ip = nullptr)
    {
        host->SetNvrIp(ip != nullptr ? ip : recorder.announced);
        host->SetNvrMac(recorder.mac);
        host->SetNvrUser("admin");
        host->currentPage = 6;
        PostWindowMessage(host, WM_START_LOGIN_PROBE);
        PostWindowMessage(host, WM_WIZARD_NAV, NAV_NEXT);
        QCoreApplication::sendPostedEvents(host);
        RecorderPasswordPage* page = passwordPage();
        if (page != nullptr)
            (void)QTest::qWaitFor([page] { return page->modeApplied(); }, 10000); // callers check the mode
        return page;
    }

    QString errorLine() const
    {
        auto* line = child<ErrorLine>("errorLine");
        return line != nullptr && line->isVisible() ? line->text() : QString();
    }

    void typePassword(const QString& password, const QString& confirm = QString())
    {
        child<PlainLineEdit>("password")->setText(password);
        if (auto* entry = child<PlainLineEdit>("confirm"); entry->isVisible())
            entry->setText(confirm);
    }

private slots:
    void initTestCase()
    {
        SelectLanguage(0);
        frame.resize(874, 654);
        host = new WizardHost(&frame);
        host->show();
        frame.show();
        QVERIFY(!qEnvironmentVariable("LAB_SIM_STATE").isEmpty());
        host->currentPage = 5;
        PostWindowMessage(host, WM_WIZARD_NAV, NAV_NEXT);
        QCoreApplication::sendPostedEvents(host);
        QVERIFY(searchPage() != nullptr);
        // The automatic first search.
        QVERIFY(QTest::qWaitFor([this] { return searchPage()->searchRunning(); }, 2000));
        QVERIFY(waitForSearchEnd());
    }

    // A search that could not send, whose wait ran out, or that nobody answered: the not-found state each time.
    void failedSearchesShowNotFound_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("no interface could send") << 0;
        QTest::newRow("the wait ran out") << 1;
        QTest::newRow("nobody answered") << 2;
    }

    void failedSearchesShowNotFound()
    {
        QFETCH(int, failure);
        SearchDevice& engine = host->DiscoveryEngine();
        if (failure == 0)
            engine.SetSearchTarget("255.255.255.255", 0); // a datagram to port 0 cannot leave
        else if (failure == 1)
            engine.SetSearchWindow(9000); // past the page's 7 s
        else
            QVERIFY(sim("fault * udp-silent@search"));
        rescan();
        QVERIFY(waitForSearchEnd());
        if (failure == 0)
            QCOMPARE(engine.state.load(), int32_t(SearchDevice::SearchFailed));
        if (failure == 1)
            QCOMPARE(engine.state.load(), int32_t(SearchDevice::Searching));
        engine.SetSearchTarget("255.255.255.255", 62976);
        engine.SetSearchWindow(6000);
        if (failure == 2)
            QVERIFY(sim("fault * clear"));

        QVERIFY(searchPage()->noDevice());
        QVERIFY(child<TextLabel>("noDevice")->isVisible());
        QCOMPARE(list()->rowCount(), 0);
        QVERIFY(!searchPage()->nextButton()->isEnabled());
        QVERIFY(child<HelpLink>("notFoundLink")->isVisible());
        QVERIFY(searchPage()->closeButton()->isEnabled());
        QVERIFY(child<IconCaptionButton>("rescan")->isEnabled());
    }

    // Every recorder of the model, once per interface that reached it, the first checked; Next and Close wait for
    // the whole search (NEXT is not usable before, as it would do nothing), the spinner turns all along.
    void searchListsTheRecordersOfTheModel()
    {
        rescan();
        RecorderSearchPage* page = searchPage();
        auto* spinner = child<BusyIndicator>("searching");
        QVERIFY(page->searchRunning());
        QVERIFY(!page->closeButton()->isEnabled());
        QVERIFY(!page->backButton()->isEnabled());
        QVERIFY(spinner->isVisible() && spinner->isRunning());
        QVERIFY(!child<TextLabel>("noDevice")->isVisible());
        // The rows come before the search's end: NEXT is still unusable, and choosing a row does not change that.
        QVERIFY(QTest::qWaitFor([&] { return list()->rowCount() > 0; }, 10000));
        QVERIFY(page->searchRunning());
        QVERIFY(spinner->isRunning());
        QVERIFY(!page->nextButton()->isEnabled());
        click(list()->viewport(), list()->RadioCellRect(0).center());
        QCoreApplication::sendPostedEvents(page);
        QVERIFY(page->searchRunning());
        QVERIFY(!page->nextButton()->isEnabled());
        click(page->nextButton());
        QCOMPARE(host->ShownPageNumber(), 6);
        QVERIFY(!host->Probe().threadExists());
        QVERIFY(waitForSearchEnd());
        QVERIFY(!spinner->isVisible());
        QVERIFY(page->closeButton()->isEnabled());

        QCOMPARE(list()->rowCount(), 2 * kListedCount);
        for (int row = 0; row < list()->rowCount(); ++row) {
            const Recorder& expected = kListed[row % kListedCount];
            QCOMPARE(list()->CellText(row, RecorderList::kNumberColumn), QString::number(row + 1));
            QCOMPARE(list()->CellText(row, RecorderList::kMacColumn), QLatin1String(expected.mac));
            QCOMPARE(list()->CellText(row, RecorderList::kIpColumn), QLatin1String(expected.announced));
            QCOMPARE(list()->IsChecked(row), row == 0);
            // The interface it answered on; a mark and a warning for the address outside the pc's subnet.
            const QString tip = list()->RowToolTip(row);
            QVERIFY2(tip.contains(row < kListedCount ? "eth0 (10.77.0.2)" : "eth1 (10.77.0.3)"), qPrintable(tip));
            const bool away = &expected == &kListed[4];
            QCOMPARE(list()->IsMarked(row), away);
            QCOMPARE(tip.contains(Qs(Text("nvrsearch_10", ""))), away);
        }
        // Under the list, not only in a tooltip: what the mark and the rows listed twice mean.
        auto* note = child<WrappedText>("rowNote");
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().contains(Qs(Text("nvrsearch_note_outside", "-")))
                && note->text().contains(Qs(Text("nvrsearch_note_repeated", "-"))),
            qPrintable(note->text()));
        QVERIFY(page->nextButton()->isEnabled());
        QVERIFY(!page->nextButton()->latched());
        QVERIFY(!page->noDevice());
    }

    // Only the radio cell chooses; the header's help shows the chosen row's MAC on the label.
    void radioCellChoosesAndTheHelpShowsItsMac()
    {
        const QRect ipCell = list()->visualRect(list()->model()->index(2, RecorderList::kIpColumn));
        click(list()->viewport(), ipCell.center());
        QCOMPARE(list()->CheckedRow(), 0);
        click(list()->viewport(), list()->RadioCellRect(2).center());
        QCOMPARE(list()->CheckedRow(), 2);

        QObject scope; // ends the watch with the test
        QString shown;
        WhenTop<MacLabelHelp>(&scope, 2000, [&](MacLabelHelp* label) {
            shown = label->macLine();
            label->End(ModalLayer::IDCANCEL);
        });
        RecorderListHeader* header = list()->Header();
        click(header->viewport(), header->HelpIconRect().center());
        QCOMPARE(shown, QStringLiteral("MAC: 001A2B3C4D67"));
    }

    void notFoundHelpListsTheInterfacesSearched()
    {
        QObject scope;
        QStringList searched;
        WhenTop<RecorderNotFoundHelp>(&scope, 2000, [&](RecorderNotFoundHelp* help) {
            searched = help->searchedLines();
            help->End(ModalLayer::IDCANCEL);
        });
        auto* link = child<HelpLink>("notFoundLink");
        click(link, link->ActiveRect().center());
        QCOMPARE(searched, (QStringList { "eth0  10.77.0.2", "eth1  10.77.0.3" }));
    }

    // "owned" and "twin" both announce 10.77.0.11: NEXT on either says so and stays, since the next pages reach the
    // recorder by its address.
    void twoRecordersOnOneAddressStay()
    {
        click(list()->viewport(), list()->RadioCellRect(1).center()); // owned
        QObject scope;
        QString message;
        WhenTop<ErrorAlert>(&scope, 2000, [&](ErrorAlert* error) {
            message = error->message();
            error->End(ModalLayer::IDOK);
        });
        const std::string before = host->NvrIp();
        click(searchPage()->nextButton());
        QCOMPARE(message, Qs(Text("nvrsearch_08", "", "10.77.0.11")));
        QCOMPARE(host->ShownPageNumber(), 6);
        QCOMPARE(host->NvrIp(), before);
        QVERIFY(!host->Probe().threadExists());
    }

    // NEXT on the new recorder: the probe finds no password, the page asks for one twice and sets it; every
    // message of the create mode's table on the way.
    void newRecorderGetsItsPassword()
    {
        click(list()->viewport(), list()->RadioCellRect(0).center()); // fresh
        click(searchPage()->nextButton());
        QCOMPARE(host->NvrIp(), std::string("10.77.0.10"));
        QCOMPARE(host->NvrMac(), std::string(kFresh.mac));
        QCOMPARE(host->Session().nvrModel, std::string("HXT-914Q")); // for the setup report
        QCOMPARE(host->Session().nvrWebPort, 80);
        RecorderPasswordPage* page = passwordPage();
        QVERIFY(page != nullptr);
        QVERIFY(QTest::qWaitFor([page] { return page->modeApplied(); }, 10000));
        QVERIFY(!page->loginMode());
        QCOMPARE(child<TextLabel>("subtitle")->text(), Qs(Text("nvrpwd_02", "")));
        QVERIFY(child<PlainLineEdit>("confirm")->isVisible());

        typePassword("abc", "abc");
        QCOMPARE(errorLine(), ErrorText("nvrpwd_04"));
        click(page->nextButton());
        QCOMPARE(errorLine(), ErrorText("nvrpwd_04 "));
        typePassword("Garden2024", "Garden2025");
        click(page->nextButton());
        QCOMPARE(errorLine(), ErrorText("nvrpwd_03"));
        QCOMPARE(simEvents("fresh", "udp-setpassword"), 0);

        // The recorder refuses once: the message without prefix, the session untouched; NEXT again sets it.
        typePassword("Garden2024", "Garden2024");
        QVERIFY(sim("fault fresh udp-status@setpassword times=1"));
        click(page->nextButton());
        QCOMPARE(errorLine(), Qs(Text("nvrpwd_06", "")));
        QCOMPARE(host->ShownPageNumber(), 7);
        QCOMPARE(host->NvrPassword(), std::string());
        QCOMPARE(simPassword("fresh"), QString());
        click(page->nextButton());
        QVERIFY(QTest::qWaitFor([this] { return host->ShownPageNumber() == 8; }, 2000));
        QCOMPARE(host->NvrPassword(), std::string("Garden2024"));
        QCOMPARE(simPassword("fresh"), QStringLiteral("Garden2024"));
    }

    // A recorder with a password: log-in mode and every message of its table, the password the datagram cannot
    // carry, leaving while the login runs, the right password.
    void recorderWithPasswordAsksForIt()
    {
        RecorderPasswordPage* page = openPasswordPage(kOwned);
        QVERIFY(page != nullptr && page->modeApplied());
        QVERIFY(page->loginMode());
        QCOMPARE(child<TextLabel>("subtitle")->text(), Qs(Text("nvrpwd_08", "")));
        QVERIFY(child<RoundedFrame>("userBox")->isVisible());
        QVERIFY(!child<PlainLineEdit>("confirm")->isVisible());

        typePassword("Wrong123");
        click(page->nextButton());
        QCOMPARE(errorLine(), ErrorText("nvrpwd_07"));
        QCOMPARE(child<RoundedFrame>("passwordFrame")->border(), 0xFFFF0000u);
        typePassword("Wrong1234"); // typing clears it
        QCOMPARE(errorLine(), QString());

        // Too long for the login datagram: refused before anything is sent.
        const int logins = simEvents("owned", "udp-login");
        typePassword(QString(49, QLatin1Char('s')));
        click(page->nextButton());
        QCOMPARE(errorLine(), ErrorText("nvrpwd_07"));
        QTest::qWait(600);
        QCOMPARE(simEvents("owned", "udp-login"), logins);

        // Not answered: the same message, after the reply time.
        QVERIFY(sim("fault owned udp-silent@login times=1"));
        typePassword("Secret99");
        QElapsedTimer clock;
        clock.start();
        click(page->nextButton());
        QVERIFY2(clock.elapsed() >= 3000 && clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(errorLine(), ErrorText("nvrpwd_07"));
        QCOMPARE(host->ShownPageNumber(), 7);

        typePassword("Secret99");
        click(page->nextButton());
        QVERIFY(QTest::qWaitFor([this] { return host->ShownPageNumber() == 8; }, 2000));
        QCOMPARE(host->NvrPassword(), std::string("Secret99"));
    }

    // The page goes (here: home) while its login waits for an answer that never comes: the worker is stopped and
    // joined at once, not after the reply time.
    void leavingDuringALoginEndsItsWorker()
    {
        RecorderPasswordPage* page = openPasswordPage(kOwned);
        QVERIFY(page != nullptr && page->loginMode());
        QVERIFY(sim("fault owned udp-silent@login times=1"));
        typePassword("Secret99");
        QPointer<RecorderPasswordPage> watched(page);
        bool busyAfterLeave = true;
        QTimer::singleShot(900, host, [&] {
            PostWindowMessage(host, WM_WIZARD_NAV, NAV_HOME);
            QCoreApplication::sendPostedEvents(host);
            busyAfterLeave = watched && watched->requestBusy();
        });
        QElapsedTimer clock;
        clock.start();
        click(page->nextButton());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!busyAfterLeave);
        QCOMPARE(host->ShownPageNumber(), 1);
        QVERIFY(sim("fault owned clear"));
    }

    // The reset help: RESET takes the wizard home.
    void resetHelpLeadsHome()
    {
        RecorderPasswordPage* page = openPasswordPage(kOwned);
        QVERIFY(page != nullptr && page->loginMode());
        QObject scope;
        WhenTop<ResetHelp>(&scope, 2000, [](ResetHelp* reset) { reset->resetButton()->click(); });
        click(child<QWidget>("resetHelpButton"));
        QCoreApplication::sendPostedEvents(host);
        QCOMPARE(host->ShownPageNumber(), 1);
        QCOMPARE(host->currentPage, 1);
    }

    // The probe cannot reach the recorder (no answer to its login, or not in the discovery table): the box says the
    // NVR did not answer and offers RETRY. Closed, the page stays in create mode and offers logging in with the
    // existing password too (a link switches); a recorder that is not in the table gets nothing sent and no text.
    // RETRY probes again: a recorder that answers then (with a password) gets the login form.
    void unreachableRecorderShowsTheNetworkError_data()
    {
        QTest::addColumn<QString>("recorder");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("retry");
        QTest::newRow("no answer to the probe") << "silent" << QString(kSilent.announced) << false;
        QTest::newRow("not in the discovery table") << "silent" << QStringLiteral("10.77.0.40") << false;
        QTest::newRow("no answer once, RETRY") << "owned" << QString(kOwned.announced) << true;
    }

    void unreachableRecorderShowsTheNetworkError()
    {
        QFETCH(QString, recorder);
        QFETCH(QString, ip);
        QFETCH(bool, retry);
        if (retry)
            QVERIFY(sim("fault owned udp-silent@login times=1"));
        QObject scope;
        QString message;
        bool retryOffered = false;
        WhenTop<ErrorAlert>(&scope, 9000, [&](ErrorAlert* error) {
            message = error->message();
            auto* again = error->findChild<FadingPictureButton*>("retryButton");
            retryOffered = again != nullptr;
            if (retry && again != nullptr)
                again->click();
            else
                error->End(ModalLayer::IDOK);
        });
        RecorderPasswordPage* page = openPasswordPage(recorder == "owned" ? kOwned : kSilent, qPrintable(ip));
        QVERIFY(page != nullptr && page->modeApplied());
        QVERIFY(QTest::qWaitFor([&] { return !message.isEmpty(); }, 9000));
        QCOMPARE(message, Qs(Text("neterr_no_answer", "-")));
        QVERIFY(retryOffered);
        QCOMPARE(host->ShownPageNumber(), 7);
        if (retry) {
            QVERIFY(QTest::qWaitFor([&] { return page->modeApplied() && page->loginMode(); }, 10000));
            QVERIFY(!page->probeUnanswered());
            QVERIFY(!page->modeSwitchLink()->isVisible());
            QVERIFY(sim("fault owned clear"));
            return;
        }
        QVERIFY(QTest::qWaitFor([] { return ModalLayer::Top() == nullptr; }, 2000));
        QVERIFY(!page->loginMode());
        QVERIFY(page->probeUnanswered());
        SmallLink* modeSwitch = page->modeSwitchLink();
        QVERIFY(modeSwitch->isVisible());
        click(modeSwitch);
        QVERIFY(page->loginMode());
        QVERIFY(child<PlainLineEdit>("password")->isVisible());
        QVERIFY(!child<PlainLineEdit>("confirm")->isVisible());
        click(modeSwitch);
        QVERIFY(!page->loginMode());
        QVERIFY(child<PlainLineEdit>("confirm")->isVisible());

        if (ip == QLatin1String("10.77.0.40")) {
            const int sets = simEvents("*", "udp-setpassword");
            typePassword("Garden2024", "Garden2024");
            click(page->nextButton());
            QCOMPARE(errorLine(), QString());
            QCOMPARE(host->ShownPageNumber(), 7);
            QCOMPARE(simEvents("*", "udp-setpassword"), sets);
        }
    }
};

QTEST_MAIN(PagesRecorderE2e)
#include "pages_recorder_e2e.moc"
