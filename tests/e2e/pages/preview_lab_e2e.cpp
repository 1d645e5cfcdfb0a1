// The live preview against the simulator's cameras in the lab, opened as the camera page opens it: the port in the
// address text, a bare colon, a Digest-only camera without a password, multipart parts, a picture of 7000 x 3500,
// a picture carrying an end marker inside it, pictures that do not decode, and closing in the middle of a picture.
#include "pages/PreviewPicture.h"
#include "pages/PreviewBubble.h"
#include "support/LabWindow.h"
#include "ui/PictureButton.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

struct Seen
{
    int shown = 0; // pictures the area showed
    QSize source; // the last one's size as its header gave it
    QSize picture; // and as it was decoded
    int cut = 0; // pictures the thread cut from the stream
    qint64 closeMs = -1; // from the close button's click until the bubble ended with its thread
    bool blankAtStart = false;
};

// Opens the preview for address and closes it once `enough` holds (or after limitMs).
Seen Preview(const std::string& address, const std::string& password, std::function<bool(const Seen&)> enough,
    int limitMs = 8000)
{
    QWidget host;
    LabWindow::Show(host);
    PreviewBubble bubble(&host, QPoint(0, 0), QPoint(495, 300), address, "admin", password, address);
    Seen seen;
    seen.blankAtStart = bubble.preview()->picture().isNull();
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &bubble, [&] {
        seen.shown = bubble.preview()->picturesShown();
        seen.source = bubble.preview()->pictureSourceSize();
        seen.picture = bubble.preview()->picture().size();
        seen.cut = bubble.stream().Pictures();
        if (enough(seen) || clock.elapsed() > limitMs) {
            poll.stop();
            QElapsedTimer closing;
            closing.start();
            QTest::mouseClick(bubble.closeButton(), Qt::LeftButton);
            seen.closeMs = closing.elapsed();
        }
    });
    poll.start(50);
    bubble.Run();
    return seen;
}

bool Pictures(const Seen& seen, int n)
{
    return seen.shown >= n;
}

} // namespace

class PreviewLabTest : public QObject
{
    Q_OBJECT

private slots:
    // Cameras whose pictures show: enough of them arrive, with the size their header gave and as decoded for the
    // area (an invalid size: not checked here).
    void showsTheCamerasPictures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<bool>("closesPromptly");
        // 16:9, as high as the area.
        QTest::newRow("the port in the address") << "10.77.0.31:8080" << "Cam12345" << 3 << QSize(640, 360)
                                                 << QSize(302, 170) << 8000 << true;
        // Multipart parts: each picture starts after its part header.
        QTest::newRow("a bare colon uses port 80") << "10.77.0.32:" << "Cam12345" << 1 << QSize(320, 240) << QSize()
                                                   << 8000 << false;
        QTest::newRow("a plain address uses port 80") << "10.77.0.32" << "Cam12345" << 1 << QSize(320, 240) << QSize()
                                                      << 8000 << false;
        QTest::newRow("a Digest-only camera without a password") << "10.77.0.35" << "" << 1 << QSize() << QSize()
                                                                 << 8000 << false;
        // 2:1, as wide as the area.
        QTest::newRow("a huge picture shown decoded at the area's size") << "10.77.0.33" << "Cam12345" << 1
                                                                         << QSize(7000, 3500) << QSize(320, 160)
                                                                         << 15000 << false;
        QTest::newRow("an end marker inside a picture does not cut it") << "10.77.0.36" << "Cam12345" << 2
                                                                        << QSize(320, 240) << QSize() << 8000 << false;
    }

    void showsTheCamerasPictures()
    {
        QFETCH(QString, address);
        QFETCH(QString, password);
        QFETCH(int, pictures);
        QFETCH(QSize, source);
        QFETCH(QSize, picture);
        QFETCH(int, limitMs);
        QFETCH(bool, closesPromptly);
        const Seen seen = Preview(
            address.toStdString(), password.toStdString(), [&](const Seen& s) { return Pictures(s, pictures); },
            limitMs);
        QVERIFY2(seen.shown >= pictures, qPrintable(QStringLiteral("%1 of %2 pictures").arg(seen.shown).arg(pictures)));
        if (source.isValid())
            QCOMPARE(seen.source, source);
        if (picture.isValid())
            QCOMPARE(seen.picture, picture);
        if (closesPromptly)
            QVERIFY(seen.closeMs >= 0 && seen.closeMs < 1000);
    }

    void picturesThatDoNotDecodeLeaveTheAreaBlank()
    {
        const Seen seen = Preview("10.77.0.37", "Cam12345", [](const Seen& s) { return s.cut >= 2; });
        QVERIFY(seen.cut >= 2);
        QCOMPARE(seen.shown, 0);
        QVERIFY(!seen.picture.isValid() || seen.picture.isEmpty());
    }

    void closingInTheMiddleOfAPictureEndsPromptlyAndTheNextPreviewStartsBlank()
    {
        const Seen first = Preview("10.77.0.31:8080", "Cam12345", [](const Seen& s) { return Pictures(s, 1); });
        QVERIFY(first.shown >= 1);
        // The stalling camera sends half a picture, then nothing: the preview sits in its read.
        const Seen stalled = Preview(
            "10.77.0.34", "Cam12345", [](const Seen&) { return false; }, 1500);
        QVERIFY(stalled.blankAtStart);
        QCOMPARE(stalled.shown, 0); // never the first camera's picture
        QVERIFY2(stalled.closeMs >= 0 && stalled.closeMs < 1000, qPrintable(QString::number(stalled.closeMs)));
        const Seen again = Preview("10.77.0.31:8080", "Cam12345", [](const Seen& s) { return Pictures(s, 1); });
        QVERIFY(again.blankAtStart);
        QVERIFY(again.shown >= 1);
    }
};

QTEST_MAIN(PreviewLabTest)
#include "preview_lab_e2e.moc"
