// Checks the embedded pictures: every resource id the pages use exists at its size, with its 2x twin,
// with or without alpha as drawn, and the art table (resources/art/ids.tsv) matches what is embedded.
#include <QFile>
#include <QImage>
#include <QTest>

#include "ArtResource.h"

namespace {

struct Entry
{
    int firstId;
    int lastId;
    int width;
    int height;
    bool alpha;
};

// Page backgrounds (860 x 640, 24 bits) and PNG pictures with their sizes and alpha.
const Entry kBitmaps[] = {
    { 3000, 3005, 860, 640, false },
    { 3008, 3008, 860, 640, false },
    { 3007, 3007, 607, 362, false },
};

const Entry kPngs[] = {
    { 3030, 3033, 416, 45, true },
    { 3034, 3037, 64, 50, false },
    { 3038, 3041, 62, 50, false },
    { 3042, 3045, 118, 43, true },
    { 3046, 3047, 234, 44, true },
    { 3049, 3050, 234, 44, true },
    { 3051, 3051, 860, 640, false },
    { 3052, 3052, 672, 31, false },
    { 3053, 3053, 30, 31, false },
    { 3054, 3054, 358, 212, true },
    { 3055, 3055, 16, 16, true },
    { 3056, 3058, 50, 50, true },
    { 3059, 3059, 48, 48, true },
    { 3060, 3064, 24, 24, true },
    { 3163, 3163, 860, 640, true },
    { 4009, 4010, 58, 48, true },
    { 4011, 4011, 33, 26, true },
    { 4012, 4014, 40, 40, true },
    { 4015, 4018, 166, 56, true },
    { 4019, 4019, 388, 224, true },
    { 4020, 4020, 365, 152, true },
    { 4051, 4054, 600, 150, false },
    { 4059, 4059, 48, 48, true },
    { 4060, 4067, 60, 60, true },
    { 4068, 4068, 157, 156, true },
    { 4069, 4069, 441, 245, true },
    { 4070, 4070, 550, 240, true },
    { 4071, 4071, 575, 270, true },
    { 4072, 4072, 522, 301, true },
    { 4073, 4073, 300, 235, true },
    { 4074, 4081, 160, 160, true },
    { 4082, 4082, 40, 40, true },
    { 4083, 4083, 24, 24, true },
    { 4084, 4084, 48, 48, true },
};

QString twinPath(const QString& path1x)
{
    return path1x.left(path1x.size() - 4) + QStringLiteral("@2x.png");
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT

private:
    void addRows(const Entry* begin, const Entry* end, bool bitmap)
    {
        for (const Entry* e = begin; e != end; ++e) {
            for (int id = e->firstId; id <= e->lastId; ++id) {
                QString path = bitmap ? ArtResource::bitmapPath(id) : ArtResource::pngPath(id);
                QTest::newRow(qPrintable(path)) << path << e->width << e->height << e->alpha;
            }
        }
    }

private slots:
    void pictureHasItsSizeAndTwin_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("alpha");
        addRows(std::begin(kBitmaps), std::end(kBitmaps), true);
        addRows(std::begin(kPngs), std::end(kPngs), false);
    }

    void pictureHasItsSizeAndTwin()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, alpha);

        QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + " does not load"));
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.hasAlphaChannel(), alpha);

        QImage twin(twinPath(path));
        QVERIFY2(!twin.isNull(), qPrintable(twinPath(path) + " does not load"));
        QCOMPARE(twin.size(), QSize(2 * width, 2 * height));
        QCOMPARE(twin.hasAlphaChannel(), alpha);
    }

    // A transparent picture is neither blank nor a filled box: something is drawn, and some of it shows through.
    void transparentPicturesHaveContent()
    {
        for (const Entry& e : kPngs) {
            if (!e.alpha) {
                continue;
            }
            for (int id = e.firstId; id <= e.lastId; ++id) {
                QImage image = QImage(ArtResource::pngPath(id)).convertToFormat(QImage::Format_ARGB32);
                int drawn = 0;
                int seeThrough = 0;
                for (int y = 0; y < image.height(); ++y) {
                    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                    for (int x = 0; x < image.width(); ++x) {
                        drawn += qAlpha(line[x]) > 0;
                        seeThrough += qAlpha(line[x]) < 255;
                    }
                }
                QVERIFY2(drawn > 0, qPrintable(QString::number(id) + " draws nothing"));
                QVERIFY2(seeThrough > 0, qPrintable(QString::number(id) + " covers its whole box"));
            }
        }
    }

    // The cabling and no-device scenes sit on a stage or in a box larger than themselves: nothing of them may run
    // into the picture's edge (a cable cut there ends in mid-air), so their outermost pixels are all clear.
    void scenesEndInsideTheirPicture()
    {
        for (int id : { 4069, 4070, 4071, 4072, 4073 }) {
            for (const QString& path : { ArtResource::pngPath(id), twinPath(ArtResource::pngPath(id)) }) {
                const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
                QVERIFY2(!image.isNull(), qPrintable(path));
                for (int x = 0; x < image.width(); ++x) {
                    QVERIFY2(qAlpha(image.pixel(x, 0)) == 0 && qAlpha(image.pixel(x, image.height() - 1)) == 0,
                        qPrintable(QStringLiteral("%1: drawn at the top or bottom edge, x %2").arg(path).arg(x)));
                }
                for (int y = 0; y < image.height(); ++y) {
                    QVERIFY2(qAlpha(image.pixel(0, y)) == 0 && qAlpha(image.pixel(image.width() - 1, y)) == 0,
                        qPrintable(QStringLiteral("%1: drawn at the left or right edge, y %2").arg(path).arg(y)));
                }
            }
        }
    }

    void programIconAndIcoFile()
    {
        QImage icon(ArtResource::iconPath(3159));
        QCOMPARE(icon.size(), QSize(256, 256));
        for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
            QCOMPARE(QImage(QStringLiteral(":/icon/3159-%1.png").arg(size)).size(), QSize(size, size));
        }
        QFile ico(QStringLiteral(":/icon/3159.ico"));
        QVERIFY(ico.open(QIODevice::ReadOnly));
        QByteArray head = ico.read(6);
        QCOMPARE(head, QByteArray("\0\0\1\0\7\0", 6)); // reserved, type 1 (icon), 7 images
    }

    // Every row of the art table is embedded, at 1x and 2x, at the size the table gives.
    void artTableMatchesResources()
    {
        QFile table(qEnvironmentVariable("HXT_SOURCE_DIR") + QStringLiteral("/resources/art/ids.tsv"));
        QVERIFY2(table.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(table.fileName()));
        int rows = 0;
        while (!table.atEnd()) {
            QString line = QString::fromUtf8(table.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
                continue;
            }
            QStringList f = line.split(QLatin1Char('\t'));
            QVERIFY2(f.size() >= 6, qPrintable(line));
            int id = f[0].toInt();
            QSize size(f[2].toInt(), f[3].toInt());
            QString path = f[1] == QLatin1String("bmp") ? ArtResource::bitmapPath(id)
                : f[1] == QLatin1String("icon")         ? ArtResource::iconPath(id)
                                                        : ArtResource::pngPath(id);
            QCOMPARE(QImage(path).size(), size);
            if (f[1] != QLatin1String("icon")) {
                QCOMPARE(QImage(twinPath(path)).size(), size * 2);
            }
            ++rows;
        }
        QVERIFY(rows > 0);
    }

    void loadPicksTheTwinOnDenseScreens()
    {
        QImage dense = ArtResource::load(ArtResource::pngPath(4070), 2.0);
        QCOMPARE(dense.size(), QSize(1100, 480));
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(dense.deviceIndependentSize(), QSizeF(550, 240));

        QImage plain = ArtResource::load(ArtResource::pngPath(4070), 1.0);
        QCOMPARE(plain.size(), QSize(550, 240));

        QVERIFY(ArtResource::load(ArtResource::pngPath(9999), 2.0).isNull());
        QVERIFY(ArtResource::load(ArtResource::bitmapPath(3042), 1.0).isNull()); // a PNG id is no bitmap
    }
};

QTEST_MAIN(ResourcesTest)
#include "ResourcesTest.moc"
