// The camera page in the lab against the simulator (cameras.conf), driven as a user drives it: the camera lines a
// recorder may send, a rescan that finds cameras moved and gone, a search that gets no answer and one that fails,
// a cloud check that fails, leaving while registrations run, and what Next leaves on the recorder.

#include "../../gui/support/MessageRecorder.h"
#include "../../gui/support/RichTextEffects.h"
#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "overlays/ModalLayer.h"
#include "pages/CameraList.h"
#include "pages/CameraPage.h"
#include "session/WizardContext.h"
#include "ui/SlimScrollBar.h"
#include "ui/SmallLink.h"
#include "ui/FadingPictureButton.h"
#include "ui/LayeredPictureButton.h"
#include "ui/Messages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <memory>

namespace {

using Messages = std::vector<RecordedMessage>;

const char* const kMacA = "00:3e:0b:00:01:01";
const char* const kMacB = "00:3e:0b:00:01:02";
const char* const kMacC = "00:3e:0b:00:01:03";
const char* const kMacE = "00:3e:0b:00:01:06";
const char* const kMacP = "00:3e:0b:00:01:05";

class LabHost : public MessageRecorder
{
public:
    LabHost()
    {
        setFixedSize(860, 640);
        setAttribute(Qt::WA_DontShowOnScreen);
        show();
    }
};

void Control(const QByteArray& line)
{
    QFile pipe(QString::fromLocal8Bit(qgetenv("LAB_DIR") + "/sim-control"));
    QVERIFY(pipe.open(QIODevice::WriteOnly));
    pipe.write(line + "\n");
    pipe.close();
    QTest::qWait(150); // the simulator takes it
}

QJsonObject SimState()
{
    QFile file(QString::fromLocal8Bit(qgetenv("LAB_SIM_STATE")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The recorder's channels: slot -> MAC of the camera in it.
std::map<int, QString> Channels()
{
    std::map<int, QString> channels;
    for (const QJsonValue& r : SimState().value("recorders").toArray()) {
        if (r.toObject().value("name").toString() != QLatin1String("cams"))
            continue;
        for (const QJsonValue& c : r.toObject().value("cameras").toArray())
            channels[c.toObject().value("slot").toInt()] = c.toObject().value("hostId").toString();
    }
    return channels;
}

QString ChannelPassword(int slot)
{
    for (const QJsonValue& r : SimState().value("recorders").toArray()) {
        for (const QJsonValue& c : r.toObject().value("cameras").toArray()) {
            if (c.toObject().value("slot").toInt() == slot)
                return c.toObject().value("password").toString();
        }
    }
    return QString();
}

QString Qs(const std::string& text)
{
    return QString::fromStdString(text);
}

int RequestCount(const QString& part)
{
    int n = 0;
    for (const QJsonValue& value : SimState().value("events").toArray()) {
        const QJsonObject event = value.toObject();
        if (event.value("device").toString() == QLatin1String("cams") && event.value("detail").toString().contains(part)
            && !event.value("result").toString().startsWith(QLatin1String("401")))
            ++n;
    }
    return n;
}

void ClickBox(CameraList* list, int row)
{
    list->scrollTo(list->model()->index(row, CameraList::kCheckColumn));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->CheckCellRect(row).center());
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents();
}

int RowOf(CameraList* list, const QString& ip)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->CellText(row, CameraList::kIpColumn) == ip)
            return row;
    }
    return -1;
}

} // namespace

class PagesCameraE2e : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WizardContext> context;
    std::unique_ptr<LabHost> host;
    std::unique_ptr<CameraPage> page;

    // A search started by the page or by Rescan, waited for.
    void waitSearch(int limitMs = 15000)
    {
        QTRY_VERIFY_WITH_TIMEOUT(page->searchRunning(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->searchRunning(), limitMs);
    }
    void rescan(int limitMs = 15000)
    {
        PostWindowMessage(page.get(), WM_RESCAN_CAMERAS);
        waitSearch(limitMs);
    }

private slots:
    void init()
    {
        SelectLanguage(0);
        context = std::make_unique<WizardContext>(std::function<void()>(), std::function<void()>());
        WizardSession& session = context->Session();
        session.SetNvrIp("10.77.0.16");
        session.SetNvrMac("00:1a:2b:3c:4d:80");
        session.SetNvrUser("admin");
        session.SetNvrPassword("Secret99");
        host = std::make_unique<LabHost>();
        page = std::make_unique<CameraPage>(host.get(), *context);
        page->show();
        waitSearch();
    }

    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
        if (page)
            page->Leave();
        page.reset();
        host.reset();
        context.reset();
        Control("fault cams clear");
        Control("camline cams clear");
    }

    void theRecordersCameraLinesAreListedAsTheyCome()
    {
        CameraList* list = page->list();
        QCOMPARE(list->rowCount(), 6);
        QCOMPARE(list->CellText(0, CameraList::kIpColumn), QStringLiteral("10.77.0.30"));
        QCOMPARE(list->CellText(3, CameraList::kIpColumn), QStringLiteral("10.77.0.33:8080"));
        QVERIFY(list->IsVerified(0)); // listed with account "admin"
        QVERIFY(!list->IsVerified(3)); // an empty account

        Control("camline cams 0;10.77.0.40;00:3E:0B:00:02:01;Veskor;QC-UPPER");
        Control("camline cams 0;;00:3e:0b:00:02:02;Veskor;QC-NOADDRESS;admin;x;;1");
        Control("camline cams 0;10.77.0.41;");
        Control("camline cams 0;10.77.0.42;00:3e:0b:00:02:03;Veskor;<b>QC</b> <%s%n> & a very long model name "
                "that goes on and on;admin;pw;;1;");
        // What a camera on the LAN may choose as its texts: a huge picture, a reversed name, terminal controls.
        Control("camline cams 0;10.77.0.43;00:3e:0b:00:02:04;<img width=3000 height=3000 src=x>;"
                "<img width=3000 height=3000 src=x> and a long model name that is shortened;admin;pw;x;1");
        Control("camline cams 0;10.77.0.44;00:3e:0b:00:02:05;\u202eVeskor;cam\u202eeulav\u202c\x1b[31m\x07;admin;pw;;1");
        rescan();
        QCOMPARE(list->rowCount(), 11);
        const QStringList effects = RichTextEffects(page.get());
        QVERIFY2(effects.isEmpty(), qPrintable(effects.join(QLatin1Char('\n'))));
        QCOMPARE(list->CellText(RowOf(list, QStringLiteral("10.77.0.44")), CameraList::kModelColumn),
            QStringLiteral("cameulav [31m ")); // the override dropped, the controls blank
        const int upper = RowOf(list, QStringLiteral("10.77.0.40"));
        QVERIFY(upper >= 0);
        QCOMPARE(context->Session().Camera(upper)->mac, std::string("00:3E:0B:00:02:01"));
        QCOMPARE(context->Session().Camera(upper)->account, std::string("admin")); // five fields
        const int bare = RowOf(list, QStringLiteral("10.77.0.41"));
        QVERIFY(bare >= 0);
        QCOMPARE(context->Session().Camera(bare)->mac, std::string());
        const int hostile = RowOf(list, QStringLiteral("10.77.0.42"));
        // The markup reads as the characters it is made of, never rendered.
        QTextDocument tip;
        tip.setHtml(list->item(hostile, CameraList::kModelColumn)->toolTip());
        QCOMPARE(tip.toPlainText(), QStringLiteral("<b>QC</b> <%s%n> & a very long model name that goes on and on"));

        // More lines than the list holds: 256 rows, scrolled by the slim bar.
        Control("camline cams clear");
        Control("camline cams fill 300");
        rescan();
        QCOMPARE(list->rowCount(), CameraList::kMaxRows);
        auto* bar = page->findChild<SlimScrollBar*>(QStringLiteral("listScrollBar"));
        QVERIFY(bar->ThumbVisible());
        list->scrollToBottom();
        QCOMPARE(list->rowAt(list->viewport()->height() - 2), CameraList::kMaxRows - 1);
    }

    void aRescanFindsCheckedCamerasAgainByMacWhereverTheyAre()
    {
        CameraList* list = page->list();
        const int e = RowOf(list, QStringLiteral("10.77.0.35"));
        const int p = RowOf(list, QStringLiteral("10.77.0.34"));
        ClickBox(list, e);
        ClickBox(list, p);
        QVERIFY(list->IsChecked(e) && list->IsChecked(p));

        // E moves, P leaves.
        Control("camera-address cam-e 10.77.0.52");
        Control("sees cams cam-a,cam-b,cam-c,cam-d,cam-e");
        rescan();
        Control("camera-address cam-e -");
        Control("sees cams cam-a,cam-b,cam-c,cam-d,cam-e,cam-p");
        QCOMPARE(list->rowCount(), 5);
        const int moved = RowOf(list, QStringLiteral("10.77.0.52"));
        QVERIFY(moved >= 0);
        QVERIFY(list->IsChecked(moved));
        QCOMPARE(list->CheckedCount(), 1);
        QCOMPARE(context->Session().Camera(moved)->mac, std::string(kMacE));
        QCOMPARE(context->Session().Camera(moved)->password, std::string("CamE1234"));

        // P comes back: checked again too.
        rescan();
        QCOMPARE(list->CheckedCount(), 2);
        QVERIFY(list->IsChecked(RowOf(list, QStringLiteral("10.77.0.34"))));
    }

    void aSearchWithoutAnswerEndsOnceAtItsDeadlineAndKeepsTheCameras()
    {
        Control("fault cams http-silent@/config/quelmodiscovery");
        QElapsedTimer clock;
        clock.start();
        PostWindowMessage(page.get(), WM_RESCAN_CAMERAS);
        waitSearch(45000);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 29000 && took < 40000, qPrintable(QString::number(took)));
        QCOMPARE(page->list()->rowCount(), 0);
        QVERIFY(!page->noCameraShown());
        QCOMPARE(context->Session().CameraCount(), 6);
        QVERIFY(page->nextButton()->isEnabled());
        QCOMPARE(page->searchProblemText(), Qs(Text("camsearch_no_answer", "-")));

        // A search the recorder refuses or cuts short: nothing listed, the cameras kept, and the user told that
        // the answer could not be read (not "No camera found!").
        for (const char* fault : { "http-409@/config/quelmodiscovery", "http-truncated@/config/quelmodiscovery" }) {
            Control("fault cams clear");
            Control(QByteArray("fault cams ") + fault);
            rescan();
            QVERIFY2(!page->noCameraShown(), fault);
            QCOMPARE(page->list()->rowCount(), 0);
            QCOMPARE(context->Session().CameraCount(), 6);
            QCOMPARE(page->searchProblemText(), Qs(Text("camsearch_unreadable", "-")));
        }
        // Its link searches again, and the recorder answers this time.
        Control("fault cams clear");
        QTest::mouseClick(page->searchAgainLink(), Qt::LeftButton);
        waitSearch();
        QCOMPARE(page->list()->rowCount(), 6);
        QVERIFY(page->searchProblemText().isEmpty());
    }

    // A, B and C in channels 0 to 2; the user keeps C and adds P: afterwards C is still in its channel, untouched,
    // A and B in none, P in the lowest free channel (its password, Base64 with "+", arrived whole), and only taken
    // registrations count.
    void nextLeavesEachKeptCameraInOneChannel()
    {
        QCOMPARE(Channels(), (std::map<int, QString> { { 0, kMacA }, { 1, kMacB }, { 2, kMacC } }));
        CameraList* list = page->list();
        for (const char* ip : { "10.77.0.32", "10.77.0.34" })
            ClickBox(list, RowOf(list, QString::fromLatin1(ip)));
        QCOMPARE(list->CheckedCount(), 2);
        QTimer::singleShot(300, page.get(), [&] { QTest::mouseClick(page->nextButton(), Qt::LeftButton); });
        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        QCOMPARE(Channels(), (std::map<int, QString> { { 0, kMacP }, { 2, kMacC } }));
        QCOMPARE(ChannelPassword(2), QStringLiteral("CamC1234"));
        QCOMPARE(ChannelPassword(0), QStringLiteral("ab>?cd"));
        const WizardSession& session = context->Session();
        for (int i = 0; i < session.CameraCount(); ++i)
            QCOMPARE(session.Camera(i)->selected, i == 2 || i == 5 ? 1 : 0);
        QCOMPARE(context->Portal().access, std::string("1"));
    }

    // P in channel 0 and C kept in 2 (the test before); the user keeps C, drops P and adds E, and the recorder
    // refuses every add with 500: C is still in its channel, P is gone, E is in none and not reported added.
    void aRefusedAddNeverCostsAKeptCamera()
    {
        QCOMPARE(Channels(), (std::map<int, QString> { { 0, kMacP }, { 2, kMacC } }));
        Control("fault cams http-500@/config/addavdev");
        CameraList* list = page->list();
        for (const char* ip : { "10.77.0.32", "10.77.0.35" })
            ClickBox(list, RowOf(list, QString::fromLatin1(ip)));
        QCOMPARE(list->CheckedCount(), 2);
        const int addsBefore = RequestCount(QStringLiteral("/config/addavdev"));
        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QCOMPARE(host->take(), (Messages { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        QCOMPARE(RequestCount(QStringLiteral("/config/addavdev")), addsBefore + 1); // E only, never C again
        QCOMPARE(Channels(), (std::map<int, QString> { { 2, kMacC } }));
        QCOMPARE(ChannelPassword(2), QStringLiteral("CamC1234"));
        const WizardSession& session = context->Session();
        for (int i = 0; i < session.CameraCount(); ++i) {
            const std::string& ip = session.Camera(i)->ip;
            QCOMPARE(session.Camera(i)->selected, ip == "10.77.0.32" ? 1 : 0);
        }
    }

    // The registrations' worker ends with the page: the host's Leave while the recorder keeps a registration
    // unanswered returns within a second.
    void leavingWhileARegistrationHangsJoinsTheWorker()
    {
        Control("fault cams http-silent@/config/addavdev");
        ClickBox(page->list(), RowOf(page->list(), QStringLiteral("10.77.0.35")));
        QCOMPARE(page->list()->CheckedCount(), 1);
        const int before = RequestCount(QStringLiteral("/config/addavdev"));
        qint64 leaveMs = -1;
        auto* poll = new QTimer(page.get());
        connect(poll, &QTimer::timeout, page.get(), [&, poll] {
            if (RequestCount(QStringLiteral("/config/addavdev")) > before) {
                poll->stop();
                QElapsedTimer clock;
                clock.start();
                page->Leave();
                leaveMs = clock.elapsed();
            }
        });
        poll->start(100);
        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QVERIFY2(leaveMs >= 0 && leaveMs < 1000, qPrintable(QString::number(leaveMs)));
        QVERIFY(host->take().empty());
    }

    // A cloud check the recorder answers with an error is no dead end: the box names the cause and offers SKIP
    // (on without the cloud service, the cameras still registered, the summary told) and RETRY; its cross stays.
    // Last: going on registers cameras, which changes the recorder's channels for any test after it.
    void aFailedCloudCheckNamesItsCauseAndOffersRetryAndSkip_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QByteArray>("button");
        QTest::newRow("refused, cross: stays") << QByteArray("http-409@/config/quelmoreginfo")
                                               << Qs(Text("neterr_refused", "-")) << QByteArray("closeCross");
        QTest::newRow("500, SKIP") << QByteArray("http-500@/config/quelmoreginfo")
                                   << Qs(Text("neterr_wrong_answer", "-")) << QByteArray("closeButton");
        QTest::newRow("404 once, RETRY") << QByteArray("http-404*1@/config/quelmoreginfo")
                                         << Qs(Text("neterr_wrong_answer", "-")) << QByteArray("retryButton");
    }

    void aFailedCloudCheckNamesItsCauseAndOffersRetryAndSkip()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QString, cause);
        QFETCH(QByteArray, button);
        Control("fault cams " + fault);
        CameraList* list = page->list();
        ClickBox(list, RowOf(list, QStringLiteral("10.77.0.35"))); // E: listed with its password, checked at once
        QCOMPARE(list->CheckedCount(), 1);
        QString shown;
        bool retryOffered = false;
        QString skipCaption;
        auto* poll = new QTimer(page.get());
        connect(poll, &QTimer::timeout, page.get(), [&, poll] {
            if (auto* error = qobject_cast<ErrorAlert*>(ModalLayer::Top())) {
                poll->stop();
                shown = error->message();
                retryOffered = error->findChild<FadingPictureButton*>("retryButton") != nullptr;
                if (auto* close = error->findChild<FadingPictureButton*>("closeButton"))
                    skipCaption = close->text();
                QTest::mouseClick(error->findChild<QAbstractButton*>(QString::fromLatin1(button)), Qt::LeftButton);
            }
        });
        poll->start(20);
        const int portalReads = RequestCount(QStringLiteral("/config/quelmoportal"));
        const int adds = RequestCount(QStringLiteral("/config/addavdev"));
        QTest::mouseClick(page->nextButton(), Qt::LeftButton);
        QVERIFY2(shown.startsWith(cause), qPrintable(shown));
        QVERIFY(retryOffered);
        QCOMPARE(skipCaption, Qs(Text("_SKIP", "SKIP"))); // English has no _SKIP key
        const Messages sent = host->take();
        if (button == "closeCross") {
            // Its values would not be used: the portal is not asked (a recorder gone silent cost 15 s more there).
            QCOMPARE(RequestCount(QStringLiteral("/config/quelmoportal")), portalReads);
            QVERIFY(!page->nextRunning());
            QVERIFY(page->nextButton()->isEnabled());
            for (const RecordedMessage& m : sent)
                QVERIFY(m.message != WM_WIZARD_NAV);
            QCOMPARE(RequestCount(QStringLiteral("/config/addavdev")), adds);
            return;
        }
        QCOMPARE(sent, (Messages { { WM_WIZARD_NAV, NAV_NEXT, 0 } }));
        QVERIFY(RequestCount(QStringLiteral("/config/addavdev")) > adds); // the cameras are registered either way
        if (button == "retryButton") {
            QCOMPARE(context->Portal().access, std::string("1"));
            QVERIFY(!context->Portal().skipped);
        } else {
            QCOMPARE(context->Portal().access, std::string("0")); // no cloud page
            QVERIFY(context->Portal().skipped);
        }
    }
};

QTEST_MAIN(PagesCameraE2e)
#include "pages_camera_e2e.moc"
