// The frame: its place and size, the host 7 pixels inside, the 50 ms start, following drags, minimising,
// the icon files and the about box.

#include "AppTestSupport.h"

#include "app/WizardHost.h"
#include "app/MainWindow.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "pages/WizardPage.h"
#include "platform/ProgramIcon.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <filesystem>

namespace {

constexpr int kOpenSomething = WM_USER + 300;

// A page that, once shown, runs what it is told (a waiting box whose flag never clears, an alert, a help overlay
// or nothing) from its own message handler, as pages do, and afterwards tries to open one more overlay, as a
// page that reads its worker's failure would. It counts the host's Leave calls.
class OverlayPage : public WizardPage
{
public:
    enum What { Nothing, Waiting, Alert, Help };
    static inline int leaves = 0;
    static inline int laterOverlayResult = 0;

    OverlayPage(QWidget* host, What run)
        : WizardPage(host, 5, 3004)
        , what(run)
    {
        if (what != Nothing)
            PostWindowMessage(this, kOpenSomething);
    }
    void Leave() override { ++leaves; }

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override
    {
        if (message != kOpenSomething) {
            WizardPage::onMessage(message, wParam, lParam);
            return;
        }
        if (what == Waiting) {
            WaitingBox box(this, &busy, 40); // 4 s
            box.DoModal();
        } else {
            OpenOverlay(what == Alert ? Dimmer::KindError : Dimmer::KindLedRed);
        }
        laterOverlayResult = OpenOverlay(Dimmer::KindError);
    }

private:
    What what;
    std::atomic<int32_t> busy { 1 };
};

} // namespace

class FrameTest : public QObject
{
    Q_OBJECT

private slots:
    // The host runs in a local loop inside the frame's start timer: the checks run from inside that loop.
    void frameRunsTheHostAndEndsWithIt()
    {
        MainWindow frame;
        QCOMPARE(frame.geometry(), QRect(0, 0, 874, 654));
        QCOMPARE(frame.windowTitle(), QString("Setup Wizard"));
        QCOMPARE(frame.host()->geometry(), QRect(7, 7, 860, 640));
        QVERIFY(!frame.host()->isVisible());
        QSignalSpy ended(&frame, &MainWindow::hostEnded);
        QElapsedTimer clock;
        qint64 startedAfter = -1;
        int shownPage = 0;
        QPoint pageOrigin;
        QPoint moved;
        bool minimised = false;
        QTimer::singleShot(200, &frame, [&] {
            shownPage = frame.host()->ShownPageNumber();
            pageOrigin = frame.host()->ShownPage()->mapTo(&frame, QPoint(0, 0));
            PostWindowMessage(frame.host(), WM_WIZARD_MOVE, 207, 107);
            PostWindowMessage(frame.host(), WM_WIZARD_NAV, NAV_MINIMIZE);
            QTimer::singleShot(200, &frame, [&] {
                moved = frame.pos();
                minimised = frame.isMinimized();
                PostWindowMessage(frame.host(), WM_WIZARD_NAV, NAV_CLOSE);
            });
        });
        clock.start();
        frame.show();
        QTimer::singleShot(0, &frame, [&] { startedAfter = frame.started() ? clock.elapsed() : -1; });
        QVERIFY(ended.wait(10000));
        QCOMPARE(startedAfter, qint64(-1)); // not at once: 50 ms after it appeared
        QVERIFY(frame.started());
        QCOMPARE(shownPage, 1);
        QCOMPARE(pageOrigin, QPoint(7, 7));
        QCOMPARE(moved, QPoint(200, 100));
        QVERIFY(minimised);
        QCOMPARE(frame.hostResult(), int(NAV_CLOSE));
        QVERIFY(!frame.isVisible());
    }

    void closingTheWindowEndsTheWizard()
    {
        MainWindow frame;
        QSignalSpy ended(&frame, &MainWindow::hostEnded);
        QTimer::singleShot(200, &frame, [&] { frame.close(); });
        frame.show();
        QVERIFY(ended.wait(10000));
        QCOMPARE(frame.hostResult(), int(NAV_CLOSE));
        QVERIFY(!frame.isVisible());
    }

    // Closed from outside while something modal runs: the wizard ends within a second, the page has left once,
    // and the code below the overlay opens nothing more.
    void closingUnderAnOverlayEndsTheWizardAtOnce_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("modal");
        QTest::newRow("waiting box") << int(OverlayPage::Waiting) << "waitingBox";
        QTest::newRow("error alert") << int(OverlayPage::Alert) << "errorAlert";
        QTest::newRow("help overlay") << int(OverlayPage::Help) << "redLedHelp";
        QTest::newRow("about box") << int(OverlayPage::Nothing) << "aboutBox";
        QTest::newRow("frame menu") << int(OverlayPage::Nothing) << "frameMenu";
    }

    void closingUnderAnOverlayEndsTheWizardAtOnce()
    {
        QFETCH(int, page);
        QFETCH(QString, modal);
        OverlayPage::leaves = 0;
        OverlayPage::laterOverlayResult = 0;
        MainWindow frame;
        frame.host()->SetPageBuilder(
            [page](WizardHost* host, int) -> QWidget* { return new OverlayPage(host, OverlayPage::What(page)); });
        QSignalSpy ended(&frame, &MainWindow::hostEnded);
        QElapsedTimer clock;
        bool closed = false;
        auto closeWhenUp = [&] {
            const bool up = modal == QLatin1String("frameMenu")
                ? QApplication::activePopupWidget() != nullptr
                : ModalLayer::Top() != nullptr && ModalLayer::Top()->objectName() == modal;
            if (!up || closed)
                return;
            closed = true;
            clock.start();
            frame.close();
        };
        QTimer poll;
        connect(&poll, &QTimer::timeout, &frame, closeWhenUp);
        poll.start(50);
        QTimer::singleShot(300, &frame, [&] {
            if (modal == QLatin1String("aboutBox"))
                frame.ShowAbout();
            if (modal == QLatin1String("frameMenu")) {
                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), frame.mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(&frame, &event);
            }
        });
        // Should the wizard not end, whatever is modal is ended every 3 s from 6 s on, so the failure is reported.
        QTimer safety;
        connect(&safety, &QTimer::timeout, &frame, [&] {
            safety.setInterval(3000);
            while (ModalLayer* top = ModalLayer::Top())
                top->End(ModalLayer::IDCANCEL);
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        safety.start(6000);
        frame.show();
        QVERIFY(ended.wait(15000));
        QVERIFY(closed);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(frame.hostResult(), int(NAV_CLOSE));
        QCOMPARE(OverlayPage::leaves, 1);
        if (page != OverlayPage::Nothing)
            QCOMPARE(OverlayPage::laterOverlayResult, int(ModalLayer::IDCANCEL));
        QVERIFY(ModalLayer::Top() == nullptr);
        QVERIFY(!frame.isVisible());
        Deliver();
        QCOMPARE(frame.host()->ShownPageNumber(), 0);
        QVERIFY(!frame.host()->Storage().threadExists());
        QVERIFY(!frame.host()->Probe().threadExists());
    }

    void iconIsInstalledInBothFolders()
    {
        const std::string data = ApplicationDataFolder() + "HXT-914Q.ico";
        std::filesystem::remove(data);
        std::filesystem::remove(InstalledIconPath());
        QVERIFY(MainWindow::InstallIcon());
        QFile resource(":/icon/3159.ico");
        QVERIFY(resource.open(QIODevice::ReadOnly));
        const QByteArray bytes = resource.readAll();
        for (const std::string& path : { data, InstalledIconPath() }) {
            QFile file(QString::fromStdString(path));
            QVERIFY2(file.open(QIODevice::ReadOnly), path.c_str());
            QCOMPARE(file.readAll(), bytes);
        }
        QVERIFY(InstalledIconPath().find("/icons/HXT-914Q.ico") != std::string::npos);
    }

    // The frame's shadow fades to nothing within the 7-pixel margin around the host: no dark rim where the window
    // ends. Read along the middle of each side and across a corner, from the host's edge out.
    void shadowFadesToNothingAtTheWindowEdge()
    {
        MainWindow frame;
        QVERIFY(frame.hasShadow());
        QImage image(frame.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        frame.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground); // the host is not shown yet
        const int w = image.width(), h = image.height();
        for (int x = 0; x < w; ++x) {
            QCOMPARE(qAlpha(image.pixel(x, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(x, h - 1)), 0);
        }
        for (int y = 0; y < h; ++y) {
            QCOMPARE(qAlpha(image.pixel(0, y)), 0);
            QCOMPARE(qAlpha(image.pixel(w - 1, y)), 0);
        }
        const struct
        {
            QPoint edge; // the host's outermost pixel
            QPoint out; // one step towards the window's edge
        } sides[] = {
            { { 7, h / 2 }, { -1, 0 } },
            { { w - 8, h / 2 }, { 1, 0 } },
            { { w / 2, 7 }, { 0, -1 } },
            { { w / 2, h - 8 }, { 0, 1 } },
        };
        for (const auto& side : sides) {
            int previous = 255;
            for (int step = 1; step <= 7; ++step) {
                const QPoint at = side.edge + step * side.out;
                const int alpha = qAlpha(image.pixel(at));
                QVERIFY2(alpha < previous,
                    qPrintable(QStringLiteral("alpha %1 at %2,%3").arg(alpha).arg(at.x()).arg(at.y())));
                if (step == 1)
                    QVERIFY(alpha >= 80); // a shadow that shows
                previous = alpha;
            }
        }
        QCOMPARE(qAlpha(image.pixel(2, 2)), 0); // round the corner it is gone sooner
    }

    void aboutBoxOpensOverTheWizard()
    {
        MainWindow frame;
        QSignalSpy ended(&frame, &MainWindow::hostEnded);
        bool shown = false;
        bool clear = false;
        QTimer::singleShot(200, &frame, [&] {
            WhenLayerRuns("aboutBox", [&](ModalLayer* about) {
                shown = true;
                ClickButton(about, "okButton");
            });
            QTest::keyClick(&frame, Qt::Key_F1);
            clear = ModalLayer::Top() == nullptr;
            PostWindowMessage(frame.host(), WM_WIZARD_NAV, NAV_CLOSE);
        });
        frame.show();
        QVERIFY(ended.wait(10000));
        QVERIFY(shown);
        QVERIFY(clear);
    }
};

QTEST_MAIN(FrameTest)
#include "app_frame_test.moc"
