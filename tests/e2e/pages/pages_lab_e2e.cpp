// The time-zone page (8) and the disk page (9) against simulated recorders in the lab, driven as a user drives them:
// widgets found by name, clicks and keys, overlays answered as they come up. The test stands in for the wizard's
// host: it records what the pages post, starts and stops the storage watch as asked, and hands the watch's reports
// to the disk page. What the recorder was asked is read from the simulator's state file.

#include "pages/PagesTestSupport.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/DiskAlert.h"
#include "overlays/ErrorAlert.h"
#include "overlays/WaitingBox.h"
#include "pages/DiskPage.h"
#include "pages/TimeZonePage.h"
#include "pages/ZoneListBox.h"
#include "session/WizardContext.h"
#include "ui/ErrorLine.h"
#include "ui/PictureSwitch.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/RoundedFrame.h"
#include "ui/Messages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTest>
#include <memory>

namespace {

using Messages = std::vector<RecordedMessage>;

constexpr const char* kPassword = "Secret99";

// The host's part in these pages: it records their messages, runs the storage watch as WM_STORAGE_WATCH asks and
// passes the watch's reports to the page shown.
class LabHost : public MessageRecorder
{
public:
    explicit LabHost(WizardContext& wizard)
        : context(wizard)
    {
        setFixedSize(860, 640);
        setAttribute(Qt::WA_DontShowOnScreen);
        show();
    }

    WizardContext& context;
    QPointer<QWidget> page;

    void StorageChanged()
    {
        if (page)
            PostWindowMessage(page, WM_STORAGE_CHANGED, reinterpret_cast<intptr_t>(context.Storage().ready),
                reinterpret_cast<intptr_t>(context.Storage().plugged));
    }

protected:
    bool event(QEvent* event) override
    {
        if (const WindowMessage* m = AsWindowMessage(event); m != nullptr && m->message() == WM_STORAGE_WATCH) {
            const WizardSession& s = context.Session();
            if (m->wParam() == 0)
                context.Storage().Start(s.nvrIp, s.nvrMac, s.nvrUser, s.nvrPassword);
            else
                context.Storage().Stop();
        }
        return MessageRecorder::event(event);
    }
};

// Acts on the top-most layer once it is a T; ends every layer when none comes within ms, so a test fails, not hangs.
template <class T> void WhenUp(QObject* context, int ms, std::function<void(T*)> act)
{
    auto* poll = new QTimer(context);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, context, [poll, clock, ms, act] {
        if (T* top = qobject_cast<T*>(ModalLayer::Top())) {
            poll->deleteLater();
            poll->stop();
            act(top);
        } else if (clock->elapsed() > ms) {
            poll->deleteLater();
            poll->stop();
            while (ModalLayer* layer = ModalLayer::Top())
                layer->End(ModalLayer::IDCANCEL);
        }
    });
    poll->start(10);
}

// What the host receives until it holds count messages, or ms passed.
Messages Collect(MessageRecorder& host, size_t count, int ms)
{
    Messages got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count && clock.elapsed() < ms) {
        for (const RecordedMessage& m : host.take())
            got.push_back(m);
        QTest::qWait(20);
    }
    QTest::qWait(100); // and nothing after them
    for (const RecordedMessage& m : host.take())
        got.push_back(m);
    return got;
}

QString Describe(const Messages& messages)
{
    QStringList parts;
    for (const RecordedMessage& m : messages)
        parts << QStringLiteral("%1(%2)").arg(m.message).arg(m.wParam);
    return parts.join(QLatin1Char(' '));
}

bool HasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x400 && c.unicode() <= 0x4FF; });
}

void Click(QWidget* widget)
{
    QVERIFY(widget != nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void ClickButton(QWidget* overlay, const char* name)
{
    Click(overlay->findChild<FadingPictureButton*>(name));
}

void ClickRow(ZoneListBox* list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void Control(const QByteArray& line)
{
    QFile pipe(QString::fromLocal8Bit(qgetenv("LAB_DIR") + "/sim-control"));
    QVERIFY(pipe.open(QIODevice::WriteOnly));
    pipe.write(line + "\n");
    pipe.close();
    QTest::qWait(100); // the simulator takes it
}

// The requests the simulator saw from recorder `device` (those it answered with a challenge left out), oldest first.
QStringList Requests(const QString& device)
{
    QFile file(QString::fromLocal8Bit(qgetenv("LAB_SIM_STATE")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList requests;
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).object().value("events").toArray()) {
        const QJsonObject event = value.toObject();
        if (event.value("device").toString() == device && !event.value("result").toString().startsWith("401"))
            requests << event.value("detail").toString();
    }
    return requests;
}

int Count(const QStringList& requests, const QString& part)
{
    return static_cast<int>(std::count_if(
        requests.begin(), requests.end(), [&](const QString& request) { return request.contains(part); }));
}

// The first request from `from` on that contains part, or -1.
qsizetype Find(const QStringList& requests, const QString& part, qsizetype from = 0)
{
    for (qsizetype i = from; i < requests.size(); ++i)
        if (requests[i].contains(part))
            return i;
    return -1;
}

QJsonObject Recorder(const QString& name)
{
    QFile file(QString::fromLocal8Bit(qgetenv("LAB_SIM_STATE")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).object().value("recorders").toArray())
        if (value.toObject().value("name").toString() == name)
            return value.toObject();
    return {};
}

} // namespace

class PagesLabE2e : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WizardContext> context;
    std::unique_ptr<LabHost> host;

    void useRecorder(const char* ip, const char* mac)
    {
        context->Session().SetNvrIp(ip);
        context->Session().SetNvrMac(mac);
        context->Session().SetNvrUser("admin");
        context->Session().SetNvrPassword(kPassword);
    }

    // Page 8 for the clock recorder; it starts reading the zones.
    std::unique_ptr<TimeZonePage> zonePage()
    {
        useRecorder("10.77.0.13", "00:1a:2b:3c:4d:71");
        auto page = std::make_unique<TimeZonePage>(host.get(), *context);
        host->page = page.get();
        page->show();
        QTest::qWait(150); // the page starts reading 50 ms after it was built; this returns once it has finished
        return page;
    }

    static bool settled(const TimeZonePage* page) { return !page->busy() && ModalLayer::Top() == nullptr; }

    // Page 9 for the disks recorder, with the watch started as the time-zone page's NEXT starts it.
    std::unique_ptr<DiskPage> diskPage()
    {
        useRecorder("10.77.0.14", "00:1a:2b:3c:4d:72");
        context->Session().disks.clear();
        PostWindowMessage(host.get(), WM_STORAGE_WATCH, 0); // as the time-zone page's NEXT does
        QCoreApplication::sendPostedEvents(host.get());
        auto page = std::make_unique<DiskPage>(host.get(), *context);
        host->page = page.get();
        page->show();
        return page;
    }

    void leavePage(QWidget* page)
    {
        if (auto* wizardPage = qobject_cast<WizardPage*>(page))
            wizardPage->Leave();
        PostWindowMessage(host.get(), WM_STORAGE_WATCH, 1);
        QCoreApplication::sendPostedEvents(host.get());
        host->take();
    }

private slots:
    void initTestCase()
    {
        SelectLanguage(0);
        context = std::make_unique<WizardContext>(std::function<void()>(), [this] {
            QMetaObject::invokeMethod(
                this, [this] { host->StorageChanged(); }, Qt::QueuedConnection);
        });
        host = std::make_unique<LabHost>(*context);
        SearchDevice& search = context->DiscoveryEngine();
        QCOMPARE(search.Start(), int32_t(SearchDevice::Searching));
        QTRY_COMPARE_WITH_TIMEOUT(search.state.load(), int32_t(SearchDevice::SearchDone), 15000);
        QCOMPARE(search.WebPort(search.FindByMac("00:1a:2b:3c:4d:71")), uint16_t(8000));
        QCOMPARE(search.WebPort(search.FindByMac("00:1a:2b:3c:4d:72")), uint16_t(8080));
    }

    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
        SelectLanguage(0);
        Control("fault clock clear");
        Control("fault disks clear");
        Control("zone clock 5");
    }

    void cleanupTestCase()
    {
        context->StopServices();
        host.reset();
        context.reset();
    }

    // In Russian the list is asked for with language 19; names that come with CR LF are shown without it; the
    // recorder's zone 5 is shown; the first row and NEXT set zone 1 and start recording, then the page moves on
    // with the storage watch started first.
    void zoneListInTheWizardsLanguageAndTheUsersChoice()
    {
        SelectLanguage(2);
        Control("fault clock tz-crlf*1@/config/timezonelist");
        auto page = zonePage();
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        QVERIFY(Count(Requests("clock"), "/config/timezonelist?language=19") == 1);
        ZoneListBox* list = page->zoneList();
        QCOMPARE(page->zoneCount(), 154);
        for (int row = 0; row < list->count(); ++row)
            QVERIFY2(!list->item(row)->text().contains('\r') && !list->item(row)->text().contains('\n'),
                qPrintable(list->item(row)->text()));
        QVERIFY2(HasCyrillic(list->item(0)->text()), qPrintable(list->item(0)->text()));
        QCOMPARE(page->selectedZone(), 5);
        QCOMPARE(list->currentRow(), 4);
        QVERIFY(list->item(4)->text().startsWith(page->zoneBox()->text().chopped(1)));

        Click(page->zoneBox());
        ClickRow(list, 0);
        QCOMPARE(page->selectedZone(), 1);
        Click(page->nextButton());
        {
            const Messages got = Collect(*host, 2, 10000);
            QVERIFY2(got == (Messages { { WM_STORAGE_WATCH, 0, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }),
                qPrintable(Describe(got)));
        }
        const QStringList requests = Requests("clock");
        const auto set = Find(requests, "/config/datetime?timezone=1 ");
        QVERIFY2(set >= 0, qPrintable(requests.join('\n')));
        QVERIFY(Find(requests, "/config/manrecord?record=1 ", set) > set);
        QCOMPARE(Recorder("clock").value("zone").toInt(), 1);
        QCOMPARE(Recorder("clock").value("recording").toBool(), true);
        QCOMPARE(QString::fromStdString(context->Session().zoneName), list->item(0)->text()); // for the setup report
        leavePage(page.get());
        Control("zone clock 5");
    }

    // More than 200 names: 200 rows. The recorder refuses zone 200 with "400 Bad Request", which the page shows in
    // its error line and stays; another zone and NEXT then set that one.
    void refusedZoneIsShownAndAnotherMayBeChosen()
    {
        Control("fault clock tz-many:230*1@/config/timezonelist");
        auto page = zonePage();
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        QCOMPARE(page->zoneCount(), 200);
        Click(page->zoneBox());
        ClickRow(page->zoneList(), 199);
        Click(page->nextButton());
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        QVERIFY(page->errorLine()->isVisible());
        QCOMPARE(page->errorLine()->text(), QStringLiteral("400 Bad Request"));
        QVERIFY(host->take().empty());
        QVERIFY(Count(Requests("clock"), "/config/datetime?timezone=200 ") == 1);

        Click(page->zoneBox());
        ClickRow(page->zoneList(), 2);
        Click(page->nextButton());
        {
            const Messages got = Collect(*host, 2, 10000);
            QVERIFY2(got == (Messages { { WM_STORAGE_WATCH, 0, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }),
                qPrintable(Describe(got)));
        }
        QCOMPARE(Recorder("clock").value("zone").toInt(), 3);
        leavePage(page.get());
    }

    // A zone number that names no zone (the simulator's recorders start with 0) selects nothing, and NEXT asks
    // for a zone instead of sending one.
    void zoneOutsideTheListSelectsNothing_data()
    {
        QTest::addColumn<int>("zone");
        QTest::newRow("0") << 0;
        QTest::newRow("past the last") << 170;
    }

    void zoneOutsideTheListSelectsNothing()
    {
        QFETCH(int, zone);
        Control("zone clock " + QByteArray::number(zone));
        const int setsBefore = Count(Requests("clock"), "/config/datetime?timezone=");
        auto page = zonePage();
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        QCOMPARE(page->zoneCount(), 154);
        QCOMPARE(page->selectedZone(), -1);
        QCOMPARE(page->zoneBox()->text(), QString());
        QCOMPARE(page->zoneList()->currentRow(), -1);
        Click(page->nextButton());
        QVERIFY(page->errorLine()->isVisible());
        QCOMPARE(page->errorLine()->text(), QString::fromStdString(Text("SetupTimeZone_error", "")));
        QTest::qWait(300);
        QVERIFY(host->take().empty());
        QCOMPARE(Count(Requests("clock"), "/config/datetime?timezone="), setsBefore);
        leavePage(page.get());
    }

    // An HTTP error is no answer: the error box over the waiting box with RETRY, which reads both again; closed,
    // NEXT stays disabled without a list (with the list the user may pick a zone), no zone taken from an error page.
    void httpErrorWhileLoading_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<bool>("retry");
        QTest::addColumn<int>("zones");
        QTest::addColumn<int>("zone");
        QTest::addColumn<bool>("nextEnabled");
        QTest::newRow("list 500, RETRY") << QByteArray("http-500*1@/config/timezonelist") << true << 154 << 5 << true;
        QTest::newRow("list 404, closed") << QByteArray("http-404@/config/timezonelist") << false << 0 << -1 << false;
        QTest::newRow("current zone 500, closed")
            << QByteArray("http-500*1@/config/datetime") << false << 154 << -1 << true;
        QTest::newRow("current zone 500, RETRY") << QByteArray("http-500*1@/config/datetime") << true << 154 << 5 << true;
    }

    void httpErrorWhileLoading()
    {
        QFETCH(QByteArray, fault);
        QFETCH(bool, retry);
        QFETCH(int, zones);
        QFETCH(int, zone);
        QFETCH(bool, nextEnabled);
        Control("fault clock " + fault);
        bool waitingBelow = false;
        bool retryOffered = false;
        WhenUp<ErrorAlert>(this, 10000, [&](ErrorAlert* error) {
            for (WaitingBox* box : host->findChildren<WaitingBox*>())
                waitingBelow = waitingBelow || box->IsRunning();
            retryOffered = error->findChild<FadingPictureButton*>("retryButton") != nullptr;
            ClickButton(error, retry && retryOffered ? "retryButton" : "closeButton");
        });
        auto page = zonePage();
        QTRY_VERIFY_WITH_TIMEOUT(waitingBelow, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        QVERIFY(retryOffered);
        QCOMPARE(page->zoneCount(), zones);
        QCOMPARE(page->selectedZone(), zone);
        QCOMPARE(page->nextButton()->isEnabled(), nextEnabled);
        QVERIFY(host->take().empty());
        leavePage(page.get());
    }

    // The setting answered 500: the error box with RETRY, which sets the zone again; closed, the page stays and
    // NEXT sets it again.
    void httpErrorWhileSettingStaysAndNextTriesAgain_data()
    {
        QTest::addColumn<bool>("retry");
        QTest::newRow("closed, NEXT again") << false;
        QTest::newRow("RETRY") << true;
    }

    void httpErrorWhileSettingStaysAndNextTriesAgain()
    {
        QFETCH(bool, retry);
        auto page = zonePage();
        QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
        Control("fault clock http-500*1@/config/datetime?timezone=");
        bool shown = false;
        bool retryOffered = false;
        WhenUp<ErrorAlert>(this, 10000, [&](ErrorAlert* error) {
            shown = true;
            retryOffered = error->findChild<FadingPictureButton*>("retryButton") != nullptr;
            ClickButton(error, retry && retryOffered ? "retryButton" : "closeButton");
        });
        Click(page->nextButton());
        QTRY_VERIFY_WITH_TIMEOUT(shown, 10000);
        QVERIFY(retryOffered);
        if (!retry) {
            QTRY_VERIFY_WITH_TIMEOUT(settled(page.get()), 10000);
            QVERIFY(host->take().empty());
            QVERIFY(page->nextButton()->isEnabled());
            Click(page->nextButton());
        }
        {
            const Messages got = Collect(*host, 2, 10000);
            QVERIFY2(got == (Messages { { WM_STORAGE_WATCH, 0, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }),
                qPrintable(Describe(got)));
        }
        leavePage(page.get());
    }

    // Leaving (the window closed, say) while the list worker waits for a slow recorder stops and joins it at once.
    void leavingStopsTheZoneWorker()
    {
        Control("fault clock http-slow:5000*1@/config/timezonelist");
        QPointer<TimeZonePage> watched;
        qint64 leaveMs = -1;
        bool busyBefore = false;
        WhenUp<WaitingBox>(this, 5000, [&](WaitingBox*) {
            QTimer::singleShot(500, host.get(), [&] {
                busyBefore = watched->busy();
                QElapsedTimer clock;
                clock.start();
                watched->Leave();
                leaveMs = clock.elapsed();
            });
        });
        useRecorder("10.77.0.13", "00:1a:2b:3c:4d:71");
        auto page = std::make_unique<TimeZonePage>(host.get(), *context);
        watched = page.get();
        page->show();
        QTRY_VERIFY_WITH_TIMEOUT(leaveMs >= 0, 5000);
        QVERIFY(busyBefore);
        QVERIFY2(leaveMs < 1000, qPrintable(QString::number(leaveMs)));
        QVERIFY(!page->busy());
        QTRY_VERIFY(ModalLayer::Top() == nullptr);
        page.reset();
        QVERIFY(host->take().empty());
    }

    // A disk plugged but still getting ready: NEXT waits in the checking box for the report that it is ready,
    // the confirmation names it as the recorder does, and it is formatted (fs 2: it came from a PC).
    void diskGettingReadyIsCheckedThenFormatted()
    {
        Control("usb disks 1 500:ready-ms=3000:model=UltraFit");
        Control("usb disks 2 none");
        auto page = diskPage();
        QTRY_VERIFY_WITH_TIMEOUT(page->storageKnown(), 10000);
        QVERIFY(page->portPlugged(0) && !page->portReady(0));
        QCOMPARE(page->findChild<PictureSwitch*>("ports")->index(), 1);
        host->take();

        int checkingMode = -1;
        QString confirmation;
        WhenUp<WaitingBox>(this, 5000, [&](WaitingBox* box) {
            checkingMode = box->mode();
            WhenUp<DiskAlert>(this, 10000, [&](DiskAlert* alarm) {
                confirmation = alarm->message();
                ClickButton(alarm, "okButton");
            });
        });
        Click(page->nextButton());
        {
            const Messages got = Collect(*host, 3, 20000);
            QVERIFY2(got
                    == (Messages {
                        { WM_STORAGE_WATCH, 1, 0 }, { WM_STORAGE_WATCH, 1, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }),
                qPrintable(Describe(got)));
        }
        QCOMPARE(checkingMode, int(WaitingBox::HddCheck));
        QVERIFY2(confirmation.contains(QStringLiteral("HD1: UltraFit (500 GB)")), qPrintable(confirmation));
        QVERIFY(!confirmation.contains(QStringLiteral("HD2")));
        QCOMPARE(Count(Requests("disks"), "/config/storageformat?storageid=0&partition=0&fs=2 "), 1);
        QCOMPARE(Count(Requests("disks"), "/config/storageformat?storageid=1"), 0);
        const QJsonObject hd1 = Recorder("disks").value("disks").toArray().at(0).toObject();
        QCOMPARE(hd1.value("formatted").toBool(), true);
        QCOMPARE(hd1.value("fsCode").toInt(), 2);
        leavePage(page.get());
    }

    // Both disks ready: HD1 (from a PC) and then HD2 (already the recorder's own) with their file-system codes.
    // A storage report that arrives once formatting has begun neither ends the formatting box nor counts.
    void bothDisksFormattedInOrder()
    {
        Control("usb disks 1 1000");
        Control("usb disks 2 2000:formatted");
        auto page = diskPage();
        QTRY_VERIFY_WITH_TIMEOUT(page->storageKnown() && page->portReady(0) && page->portReady(1), 10000);
        QCOMPARE(page->findChild<PictureSwitch*>("ports")->index(), 3);
        host->take();

        QString confirmation;
        bool boxSurvivedReport = false;
        WhenUp<DiskAlert>(this, 5000, [&](DiskAlert* alarm) {
            confirmation = alarm->message();
            WhenUp<WaitingBox>(this, 5000, [&](WaitingBox* box) {
                host->StorageChanged(); // as a report the host had queued before the watch stopped
                QTimer::singleShot(600, box,
                    [&, box] { boxSurvivedReport = box->IsRunning() && box->mode() == WaitingBox::HddFormat; });
            });
            ClickButton(alarm, "okButton");
        });
        Click(page->nextButton());
        {
            const Messages got = Collect(*host, 2, 30000);
            QVERIFY2(got == (Messages { { WM_STORAGE_WATCH, 1, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 } }),
                qPrintable(Describe(got)));
        }
        QVERIFY(boxSurvivedReport);
        QVERIFY2(confirmation.contains(QStringLiteral("HD1: SimDisk USB 3.0 (1000 GB)"))
                && confirmation.contains(QStringLiteral("HD2: SimDisk USB 3.0 (2000 GB)")),
            qPrintable(confirmation));
        const QStringList requests = Requests("disks");
        const auto first = Find(requests, "/config/storageformat?storageid=0&partition=0&fs=2 ");
        const auto second = Find(requests, "/config/storageformat?storageid=1&partition=0&fs=1 ");
        QVERIFY2(first >= 0 && second > first, qPrintable(requests.join('\n')));
        const QJsonArray disks = Recorder("disks").value("disks").toArray();
        QCOMPARE(disks.at(0).toObject().value("fsCode").toInt(), 2); // formatted as asked
        QCOMPARE(disks.at(1).toObject().value("formatCount").toInt(), 1);
        QCOMPARE(disks.at(1).toObject().value("fsCode").toInt(), 1);
        // What the setup report tells of them.
        const std::vector<WizardSession::DiskOutcome>& noted = context->Session().disks;
        QCOMPARE(noted.size(), size_t(2));
        QCOMPARE(noted[0].id, 1);
        QCOMPARE(noted[0].description, std::string("SimDisk USB 3.0 (1000 GB)"));
        QVERIFY(noted[0].result == WizardSession::DiskResult::Formatted);
        QCOMPARE(noted[1].id, 2);
        QVERIFY(noted[1].result == WizardSession::DiskResult::Formatted);
        leavePage(page.get());
    }

    // Short of 100 % is not formatted: a poll that stays at 0 (asked again after pauses, not read again) or one that
    // stalls below 100 until the box's limit, a format that breaks off midway (the recorder answers a negative
    // status) at once. The failure is shown, the watch restarted, the page stays.
    void formattingShortOf100Fails_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<bool>("untilTheLimit");
        QTest::newRow("poll stays at 0") << QByteArray("format-stall:0") << true;
        QTest::newRow("breaks off midway") << QByteArray("format-fail:40") << false;
        QTest::newRow("stalls below 100") << QByteArray("format-stall:99") << true;
    }

    void formattingShortOf100Fails()
    {
        QFETCH(QByteArray, fault);
        QFETCH(bool, untilTheLimit);
        Control("usb disks 1 1000");
        Control("usb disks 2 none");
        Control("fault disks " + fault + "*1@/config/storageformat?storageid=0");
        auto page = diskPage();
        page->formatTickLimit = 80; // 8 s in place of 60
        QTRY_VERIFY_WITH_TIMEOUT(page->storageKnown() && page->portReady(0), 10000);
        host->take();
        const int pollsBefore = Count(Requests("disks"), "/config/storageformatpoll");

        QString failure;
        WhenUp<DiskAlert>(this, 5000, [&](DiskAlert* alarm) {
            WhenUp<ErrorAlert>(this, 20000, [&](ErrorAlert* error) {
                failure = error->message();
                ClickButton(error, "closeButton");
            });
            ClickButton(alarm, "okButton");
        });
        QElapsedTimer clock;
        clock.start();
        Click(page->nextButton());
        QTRY_VERIFY_WITH_TIMEOUT(!failure.isEmpty(), 20000);
        if (untilTheLimit) // the box's whole limit
            QVERIFY2(clock.elapsed() > 7500, qPrintable(QString::number(clock.elapsed())));
        else // the first poll that says failed ends it; the format reaches 40 % within about 2 s
            QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(failure, QString::fromStdString(Text("hddformat_15", "")));
        {
            const Messages got = Collect(*host, 2, 5000);
            QVERIFY2(got == (Messages { { WM_STORAGE_WATCH, 1, 0 }, { WM_STORAGE_WATCH, 0, 0 } }),
                qPrintable(Describe(got)));
        }
        QVERIFY(!page->formatting());
        const int polls = Count(Requests("disks"), "/config/storageformatpoll") - pollsBefore;
        QVERIFY2(polls >= (untilTheLimit ? 3 : 1), qPrintable(QString::number(polls)));
        if (fault.endsWith(":0")) // each poll without progress is followed by a pause of half a second
            QVERIFY2(polls <= 20, qPrintable(QString::number(polls)));
        const QJsonObject hd1 = Recorder("disks").value("disks").toArray().at(0).toObject();
        QCOMPARE(hd1.value("formatted").toBool(), false);
        QCOMPARE(context->Session().disks.size(), size_t(1));
        QVERIFY(context->Session().disks[0].result == WizardSession::DiskResult::Failed);
        QTRY_VERIFY_WITH_TIMEOUT(context->Storage().running(), 5000); // watched again
        leavePage(page.get());
    }

    void unpluggingIsShownWhileThePageIsUp()
    {
        Control("usb disks 1 1000");
        Control("usb disks 2 2000");
        auto page = diskPage();
        auto* ports = page->findChild<PictureSwitch*>("ports");
        QTRY_COMPARE_WITH_TIMEOUT(ports->index(), 3, 10000);
        Control("usb disks 1 none");
        QTRY_COMPARE_WITH_TIMEOUT(ports->index(), 2, 4000);
        QVERIFY(!page->portPlugged(0));
        leavePage(page.get());
    }

    // The page going (the window closed) while formatting: the worker stops and is joined in the leave hook, and
    // the page posts nothing more.
    void leavingWhileFormattingStopsTheWorker()
    {
        Control("usb disks 1 1000");
        Control("usb disks 2 none");
        Control("fault disks format-stall:50*1@/config/storageformat?storageid=0");
        auto page = diskPage();
        QTRY_VERIFY_WITH_TIMEOUT(page->storageKnown() && page->portReady(0), 10000);
        host->take();
        qint64 leaveMs = -1;
        QPointer<DiskPage> watched = page.get();
        WhenUp<DiskAlert>(this, 5000, [&](DiskAlert* alarm) {
            WhenUp<WaitingBox>(this, 5000, [&](WaitingBox*) {
                QTimer::singleShot(2500, host.get(), [&] {
                    QElapsedTimer clock;
                    clock.start();
                    watched->Leave();
                    leaveMs = clock.elapsed();
                });
            });
            ClickButton(alarm, "okButton");
        });
        Click(page->nextButton());
        QTRY_VERIFY_WITH_TIMEOUT(leaveMs >= 0, 15000);
        QVERIFY2(leaveMs < 1500, qPrintable(QString::number(leaveMs)));
        QTRY_VERIFY(ModalLayer::Top() == nullptr);
        QVERIFY(context->Client().State() != NvrClient::Busy);
        QCOMPARE(host->take(), (Messages { { WM_STORAGE_WATCH, 1, 0 } }));
        page.reset();
        Control("usb disks 1 none");
    }
};

QTEST_MAIN(PagesLabE2e)
#include "pages_lab_e2e.moc"
