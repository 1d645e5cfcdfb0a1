// The camera page's overlays without a camera: where the preview bubble goes, how its pictures are decoded, that
// its close button ends it at once with its thread, and the install help's layout.
#include "PagesTestSupport.h"
#include "i18n/Localization.h"
#include "overlays/Dimmer.h"
#include "pages/CameraInstallHelp.h"
#include "pages/PreviewPicture.h"
#include "pages/PreviewBubble.h"
#include "pages/CameraOverlays.h"
#include "pages/WizardPage.h"
#include "ui/PictureButton.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtTest>

namespace {

// A JPEG of that size: colour bars, so a stretched or cut picture shows.
QByteArray Jpeg(QSize size, int quality = 60)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const QColor bars[] = { Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue, Qt::black };
    for (int i = 0; i < 8; ++i)
        painter.fillRect(QRect(i * size.width() / 8, 0, size.width() / 8 + 1, size.height()), bars[i]);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

std::string_view View(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

class CameraOverlaysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterCameraOverlays(); }

    void bubbleStaysInsideThePageAndPointsAtTheIcon_data()
    {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QRect>("bubble");
        QTest::addColumn<int>("tipY");
        QTest::newRow("a row in the middle") << QPoint(495, 300) << QRect(500, 270, 358, 212) << 32;
        QTest::newRow("a low row") << QPoint(495, 560) << QRect(500, 426, 358, 212) << 136;
        QTest::newRow("the lowest row below a long text") << QPoint(495, 632) << QRect(500, 426, 358, 212) << 193;
        QTest::newRow("near the top") << QPoint(495, 10) << QRect(500, 2, 358, 212) << 19;
        QTest::newRow("near the right edge") << QPoint(700, 300) << QRect(500, 270, 358, 212) << 32;
    }

    void bubbleStaysInsideThePageAndPointsAtTheIcon()
    {
        QFETCH(QPoint, anchor);
        QFETCH(QRect, bubble);
        QFETCH(int, tipY);
        int tip = 0;
        QCOMPARE(PreviewBubble::PlaceBubble(anchor, &tip), bubble);
        QCOMPARE(tip, tipY);
        QVERIFY(QRect(0, 0, 860, 640).contains(bubble));
    }

    void hugePictureIsDecodedAtTheAreaSize()
    {
        // 7000 x 3500 in full would take ~98 MB; with the reader held to 16 MB only a scaled decode succeeds.
        const QByteArray huge = Jpeg(QSize(7000, 3500), 20);
        const int previousLimit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(16);
        QSize source;
        const QImage picture = PreviewPicture::Decode(View(huge), QSize(320, 170), 1.0, &source);
        QImageReader::setAllocationLimit(previousLimit);
        QCOMPARE(source, QSize(7000, 3500));
        // In its own proportions (2:1), as wide as the area: the first bar is white, the last black.
        QCOMPARE(picture.size(), QSize(320, 160));
        QVERIFY(qGray(picture.pixel(10, 80)) > 200);
        QVERIFY(qGray(picture.pixel(310, 80)) < 50);

        // 4:3 at twice the pixels: as high as the area.
        const QImage sharp = PreviewPicture::Decode(View(Jpeg(QSize(320, 240))), QSize(320, 170), 2.0);
        QCOMPARE(sharp.size(), QSize(453, 340));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
    }

    // "Connecting..." until the first picture; a picture of other proportions than the area is centred between
    // bars, never stretched.
    void pictureKeepsItsProportionsAndConnectingShowsBeforeIt()
    {
        SelectLanguage(0);
        QWidget parent;
        PreviewPicture area(&parent);
        area.setGeometry(0, 0, 320, 170);
        QCOMPARE(area.statusText(), QString::fromStdString(Text("preview_connecting", "-")));
        QVERIFY(area.pictureRect().isEmpty());
        const QImage before = area.grab().toImage();
        const QColor barColour = before.pixelColor(2, 2);
        area.SetPicture(PreviewPicture::Decode(View(Jpeg(QSize(64, 48))), QSize(320, 170), 1.0), QSize(64, 48));
        QCOMPARE(area.statusText(), QString());
        QCOMPARE(area.pictureRect(), QRect(47, 0, 226, 170));
        const QImage after = area.grab().toImage();
        QCOMPARE(after.pixelColor(10, 85), barColour); // the bar left of the picture
        QCOMPARE(after.pixelColor(310, 85), barColour);
        area.SetPicture(QImage(), QSize());
        QVERIFY(!area.statusText().isEmpty());
    }

    void whatDoesNotDecodeBlanksTheArea()
    {
        QByteArray notJpeg = Jpeg(QSize(320, 240));
        notJpeg.replace(2, 40, QByteArray(40, '\x33')); // the tables are gone
        QSize source(1, 1);
        QVERIFY(PreviewPicture::Decode(View(notJpeg), QSize(320, 170), 1.0, &source).isNull());
        QVERIFY(!source.isValid());
        QVERIFY(PreviewPicture::Decode(std::string_view("\xFF\xD8\xFF\xD9", 4), QSize(320, 170), 1.0).isNull());

        QWidget parent;
        PreviewPicture area(&parent);
        area.SetPicture(PreviewPicture::Decode(View(Jpeg(QSize(64, 48))), QSize(320, 170), 1.0), QSize(64, 48));
        QCOMPARE(area.picturesShown(), 1);
        area.SetPicture(QImage(), QSize());
        QVERIFY(area.picture().isNull());
    }

    void previewRunsThroughTheDimmerAndItsCloseButtonEndsItAtOnce()
    {
        // A camera that refuses the connection (loopback, nothing listens on port 9): the bubble stays blank.
        RecordingHost host;
        WizardPage page(&host, 10, 3001);
        OverlayValues values;
        values.address = "127.0.0.1:9";
        values.texts[0] = "admin";
        values.texts[1] = "Secret99";
        values.texts[2] = std::string("QC-210 at 127.0.0.1:9, a description far too long for the line above the "
                                      "picture, so it is shortened there");
        values.anchor = QPoint(495, 632);
        QRect bubble;
        QRect area;
        QString tip;
        qint64 closing = -1;
        bool threadRan = false;
        WhenShown<PreviewBubble>(this, [&](PreviewBubble* preview) {
            QTimer::singleShot(700, preview, [&, preview] {
                bubble = preview->bubbleRect();
                area = preview->preview()->geometry();
                tip = preview->toolTip();
                threadRan = preview->stream().Running();
                QElapsedTimer clock;
                clock.start();
                QTest::mouseClick(preview->closeButton(), Qt::LeftButton);
                closing = clock.elapsed();
            });
        });
        QCOMPARE(page.OpenOverlay(Dimmer::KindPreview, values), int(ModalLayer::IDOK));
        QVERIFY(threadRan);
        QVERIFY(closing >= 0 && closing < 1000);
        QCOMPARE(bubble, QRect(500, 426, 358, 212));
        QCOMPARE(area, QRect(524, 458, 320, 170));
        QCOMPARE(tip, QString::fromStdString(values.texts[2]));
    }

    void installHelpLaysOutItsTextAndPicture_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 0; language < 6; ++language)
            QTest::newRow(QByteArray::number(language).constData()) << language;
    }

    void installHelpLaysOutItsTextAndPicture()
    {
        QFETCH(int, language);
        SelectLanguage(language);
        RecordingHost host;
        WizardPage page(&host, 10, 3001);
        QStringList texts;
        QRect box;
        QRect content;
        WhenShown<CameraInstallHelp>(this, [&](CameraInstallHelp* help) {
            texts = help->texts();
            box = help->boxRect();
            content = help->contentRect();
            QTest::mouseClick(help->findChild<PictureButton*>("closeCross"), Qt::LeftButton);
        });
        QCOMPARE(page.OpenOverlay(Dimmer::KindInstallCam), int(ModalLayer::IDOK));
        SelectLanguage(0);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(box, QRect(160, 120, 540, 380));
        QVERIFY2(box.contains(content),
            qPrintable(QStringLiteral("content %1,%2 %3x%4")
                           .arg(content.x())
                           .arg(content.y())
                           .arg(content.width())
                           .arg(content.height())));
        QCOMPARE(CameraInstallHelp::PictureRect(34, 0), QRect(79, 134, 400, 222));
        QCOMPARE(CameraInstallHelp::PictureRect(34, 1), QRect(79, 115, 400, 222));
    }
};

QTEST_MAIN(CameraOverlaysTest)
#include "pages_camera_overlays_test.moc"
