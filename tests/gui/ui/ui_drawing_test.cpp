// Resource pictures, fonts, colours, the rounded box and the message model.

#include "UiTestSupport.h"
#include "ui/PictureBox.h"
#include "ui/PictureButton.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QPainter>
#include <QtTest>

class DrawingTest : public QObject
{
    Q_OBJECT
private slots:
    void loadPngResource_data();
    void loadPngResource();
    void pictureForTheScreensPixelRatio_data();
    void pictureForTheScreensPixelRatio();
    void picturesAreScaledSmoothlyWhenAssigned();
    void bitmapsLoadFromTheirOwnTree();
    void prefetchedPicturesMatchDecodedOnes();
    void pictureAssignedTwiceReleasesTheFirst();
    void fontInstalledComparesExactly();
    void chineseFacesFollowTheLanguage();
    void colourForms();
    void roundedBoxKeepsCornersFilled();
    void halfOpacityHalvesAlpha();
    void messagesArriveInPostingOrder();
};

void DrawingTest::loadPngResource_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("loads");
    QTest::newRow("png") << 3090 << true;
    QTest::newRow("bitmap id only") << 3001 << false;
    QTest::newRow("not png data") << 3099 << false;
    QTest::newRow("missing") << 99999 << false;
}

void DrawingTest::loadPngResource()
{
    QFETCH(int, id);
    QFETCH(bool, loads);
    const auto picture = LoadPngResource(id);
    QCOMPARE(picture.has_value(), loads);
    if (loads) {
        QCOMPARE(picture->size(), QSize(8, 8));
        QCOMPARE(picture->pixelColor(0, 0), QColor(255, 0, 0));
    }
}

// 3094 exists at 1x (4 x 4) and at 2x (8 x 8); a 1x screen gets the 1x picture, a HiDPI one the 2x picture with
// the same logical size. The offscreen screen of the tests is 1x.
void DrawingTest::pictureForTheScreensPixelRatio_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("1x screen") << 1.0 << QSize(4, 4);
    QTest::newRow("1.5x screen") << 1.5 << QSize(8, 8);
    QTest::newRow("2x screen") << 2.0 << QSize(8, 8);
    QTest::newRow("the program's screens") << 0.0 << QSize(4, 4);
}

void DrawingTest::pictureForTheScreensPixelRatio()
{
    QFETCH(double, ratio);
    QFETCH(QSize, pixels);
    const auto picture = ratio > 0 ? LoadPngResource(3094, ratio) : LoadPngResource(3094);
    QVERIFY(picture.has_value());
    QCOMPARE(picture->size(), pixels);
    QCOMPARE(picture->devicePixelRatio(), pixels.width() / 4.0);
    QCOMPARE(picture->deviceIndependentSize().toSize(), QSize(4, 4));
    if (pixels.width() == 8)
        QCOMPARE(picture->pixelColor(0, 0), QColor(0, 255, 255));
    // A 1x picture has a quarter of the pixels: the backgrounds and buttons of a page on a 1x screen hold a quarter
    // of the memory the 2x pictures would.
    QCOMPARE(picture->sizeInBytes(), qsizetype(pixels.width() * pixels.height() * 4));
}

// A control scales its picture to the size it draws it at when the picture is assigned (and when it is resized),
// smoothly: 3095 has a thin black line in every fourth of its 16 columns; shrunk to 4 x 4, each pixel averages a
// line and three white columns (point sampling or a two-tap filter at paint time would lose the lines). Painting
// then copies the fitted pixels as they are.
void DrawingTest::picturesAreScaledSmoothlyWhenAssigned()
{
    MessagePage page;
    PictureBox box(&page);
    box.setGeometry(0, 0, 4, 4);
    page.show();
    box.SetImage(3095);
    QCOMPARE(box.image().size(), QSize(4, 4));
    const QImage shown = Render(page);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const QColor c = shown.pixelColor(x, y);
            QVERIFY2(Near(c, QColor(191, 191, 191), 8), Describe(c));
            QCOMPARE(c, box.image().pixelColor(x, y));
        }
    }
    box.resize(8, 4);
    QCOMPARE(box.image().size(), QSize(8, 4));

    // The page corner's close button (62 x 50 art in a 37 x 29 button) keeps only pictures of its own size.
    PictureButton close(&page);
    close.setGeometry(23, 0, 37, 29);
    const int art[] = { 3041, 3038, 3040, 3039 };
    for (int slot = 0; slot < 4; ++slot) {
        close.SetImage(slot, art[slot]);
        QCOMPARE(close.image(slot).size(), QSize(37, 29));
    }
}

void DrawingTest::bitmapsLoadFromTheirOwnTree()
{
    QVERIFY(LoadBitmapResource(3001).has_value());
    QVERIFY(!LoadBitmapResource(3090).has_value());
}

// A page background decoded ahead is handed to the first page that asks, once (later pages decode their own
// rather than the store keeping 2 MB for ever); a small picture stays shared. Both equal a plain decode.
void DrawingTest::prefetchedPicturesMatchDecodedOnes()
{
    PrefetchPictures({ 3002 }, { 3045 }, 3159);
    const std::optional<QImage> background = LoadBitmapResource(3002, 1.0);
    const std::optional<QImage> button = LoadPngResource(3045, 1.0);
    const std::optional<QImage> icon = LoadIconResource(3159);
    QVERIFY(background && button && icon);
    QVERIFY(!background->hasAlphaChannel()); // opaque: kept as RGB32, no premultiplied copy
    QCOMPARE(background->size(), QSize(860, 640));
    const std::optional<QImage> again = LoadBitmapResource(3002, 1.0);
    QVERIFY(again && *again == *background);
    QVERIFY(again->constBits() != background->constBits()); // decoded anew, not kept
    const std::optional<QImage> buttonAgain = LoadPngResource(3045, 1.0);
    QVERIFY(buttonAgain && buttonAgain->constBits() == button->constBits()); // shared
    QCOMPARE(icon->size(), QSize(256, 256));
    QVERIFY(!LoadIconResource(1).has_value());
}

void DrawingTest::pictureAssignedTwiceReleasesTheFirst()
{
    PictureBox box;
    box.SetImage(3090);
    box.SetImage(3092);
    QCOMPARE(box.image().pixelColor(0, 0), QColor(0, 0, 255));
    box.SetImage(3001); // fails: the earlier picture is gone, not kept
    QVERIFY(box.image().isNull());

    PictureButton button;
    button.SetImage(1, 3090);
    button.SetImage(1, 3099);
    QVERIFY(button.image(1).isNull());
    button.SetImage(7, 3090); // no such slot: ignored
}

void DrawingTest::fontInstalledComparesExactly()
{
    QVERIFY(IsFontInstalled(QStringLiteral("Liberation Sans")));
    QVERIFY(!IsFontInstalled(QStringLiteral("liberation sans")));
    QVERIFY(!IsFontInstalled(QStringLiteral("Verdana")));
    QCOMPARE(ChooseFontFamily(QStringLiteral("Verdana")), QStringLiteral("Arial"));
    QCOMPARE(ChooseFontFamily(QStringLiteral("Liberation Sans")), QStringLiteral("Liberation Sans"));
    // "Arial" is metric-compatible Liberation Sans here.
    QCOMPARE(FontFamilies(QStringLiteral("Arial")).first(), QStringLiteral("Liberation Sans"));
}

void DrawingTest::chineseFacesFollowTheLanguage()
{
    // The Windows face of the language's script first, its Noto face as the fallback.
    SetTextLanguage(4);
    QCOMPARE(FontFamilies(QStringLiteral("Arial")).mid(1, 2),
        (QStringList { QStringLiteral("Microsoft JhengHei"), QStringLiteral("Noto Sans CJK TC") }));
    SetTextLanguage(5);
    QCOMPARE(FontFamilies(QStringLiteral("Arial")).mid(1, 2),
        (QStringList { QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC") }));
    QCOMPARE(MakeFont(QStringLiteral("Arial"), 14, true).families().at(2), QStringLiteral("Noto Sans CJK SC"));
    SetTextLanguage(0);
}

void DrawingTest::colourForms()
{
    static_assert(MakeRgb(42, 169, 209) == 0x00D1A92Au);
    static_assert(ArgbFromRgb(MakeRgb(42, 169, 209)) == 0xFF2AA9D1u);
    static_assert(RgbFromArgb(0x802AA9D1u) == MakeRgb(42, 169, 209));
    QCOMPARE(ColorFromArgb(0x802AA9D1u), QColor(42, 169, 209, 128));
}

void DrawingTest::roundedBoxKeepsCornersFilled()
{
    QImage image(40, 30, QImage::Format_ARGB32);
    for (int radius : { 0, 6 }) {
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawRoundedBox(painter, 0, 0, 40, 30, radius, 0xFFFF0000u, 0xFF000000u, 2);
        }
        QCOMPARE(image.pixelColor(20, 15), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(20, 0), QColor(0, 0, 0)); // the border along the top edge
        if (radius == 0)
            QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 0));
        else
            QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0)); // outside the arc: still filled
    }
}

void DrawingTest::halfOpacityHalvesAlpha()
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawImageHalfOpacity(painter, *LoadPngResource(3090));
    }
    QVERIFY2(Near(image.pixelColor(3, 3), QColor(255, 127, 127), 2), Describe(image.pixelColor(3, 3)));
    QCOMPARE(image.pixelColor(12, 12), QColor(Qt::white)); // natural size: 8 x 8 only
}

void DrawingTest::messagesArriveInPostingOrder()
{
    MessagePage page;
    PostWindowMessage(&page, WM_START_LOGIN_PROBE);
    PostWindowMessage(&page, WM_WIZARD_NAV, NAV_NEXT);
    PostWindowMessage(&page, WM_WIZARD_MOVE, 120, -4);
    PostWindowMessage(nullptr, WM_WIZARD_NAV, NAV_BACK); // nobody to receive it: dropped
    const std::vector<RecordedMessage> expected { { WM_START_LOGIN_PROBE, 0, 0 }, { WM_WIZARD_NAV, NAV_NEXT, 0 },
        { WM_WIZARD_MOVE, 120, -4 } };
    QVERIFY(page.take() == expected);
}

QTEST_MAIN(DrawingTest)
#include "ui_drawing_test.moc"
