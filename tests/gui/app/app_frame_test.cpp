// The frame: its place and size, the host 7 pixels inside, the 50 ms start, following drags, minimising,
// the icon files and the about box.

#include "AppTestSupport.h"

#include "app/CInterDialog.h"
#include "app/CTalvioDlg.h"
#include "platform/ProgramIcon.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

class FrameTest : public QObject
{
    Q_OBJECT

private slots:
    // The host runs in a local loop inside the frame's start timer: the checks run from inside that loop.
    void frameRunsTheHostAndEndsWithIt()
    {
        CTalvioDlg frame;
        QCOMPARE(frame.geometry(), QRect(0, 0, 874, 654));
        QCOMPARE(frame.windowTitle(), QString("Setup Wizard"));
        QCOMPARE(frame.host()->geometry(), QRect(7, 7, 860, 640));
        QVERIFY(!frame.host()->isVisible());
        QSignalSpy ended(&frame, &CTalvioDlg::hostEnded);
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
        CTalvioDlg frame;
        QSignalSpy ended(&frame, &CTalvioDlg::hostEnded);
        QTimer::singleShot(200, &frame, [&] { frame.close(); });
        frame.show();
        QVERIFY(ended.wait(10000));
        QCOMPARE(frame.hostResult(), int(NAV_CLOSE));
        QVERIFY(!frame.isVisible());
    }

    void iconIsInstalledInBothFolders()
    {
        const std::string data = ApplicationDataFolder() + "HXT-914Q.ico";
        std::filesystem::remove(data);
        std::filesystem::remove(InstalledIconPath());
        QVERIFY(CTalvioDlg::InstallIcon());
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
        CTalvioDlg frame;
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
        CTalvioDlg frame;
        QSignalSpy ended(&frame, &CTalvioDlg::hostEnded);
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
