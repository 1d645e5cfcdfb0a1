// Links and their overlay kinds, the link option of the text statics, and the waiting animation's frame limit.

#include "UiTestSupport.h"
#include "ui/SmallLink.h"
#include "ui/OverlayPictureButton.h"
#include "ui/HelpLink.h"
#include "ui/FixedIconHelpLink.h"
#include "ui/BusyIndicator.h"
#include "ui/LanguageCombo.h"
#include "ui/TextLabel.h"
#include "ui/PageTitle.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QtTest>
#include <memory>

namespace {

void Press(QWidget& widget, QPoint at)
{
    QMouseEvent press(
        QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

Qt::CursorShape CursorAfterMove(QWidget& widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
    return widget.cursor().shape();
}

std::vector<int> OverlayKinds(MessagePage& page)
{
    std::vector<int> kinds;
    for (const RecordedMessage& m : page.take()) {
        if (m.message == WM_OPEN_OVERLAY)
            kinds.push_back(static_cast<int>(m.wParam));
    }
    return kinds;
}

enum class LinkKind { Plain, IconLeft, Fixed };

} // namespace

Q_DECLARE_METATYPE(LinkKind)

class LinksStaticsTest : public QObject
{
    Q_OBJECT
private slots:
    void linkRectFollowsTheLastLine_data();
    void linkRectFollowsTheLastLine();
    void overlayKinds_data();
    void overlayKinds();
    void imageButtonPostsItsKind();
    void controlsKeepThePressesTheyActOn();
    void oneLineTextLinks_data();
    void oneLineTextLinks();
    void chineseTitleFitsTheLatinBox_data();
    void chineseTitleFitsTheLatinBox();
    void loadingStopsAtItsFrameLimit();
    void loadingTimerRunsOut();
    void loadingLayoutCentresTextAndSpinner();
};

void LinksStaticsTest::linkRectFollowsTheLastLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("lines");
    QTest::newRow("one line") << QStringLiteral("Can not find your NVR") << 400 << 1;
    QTest::newRow("two lines") << QStringLiteral("Can not find your NVR on the network today") << 200 << 2;
    QTest::newRow("word per line") << QStringLiteral("alpha beta gamma") << 60 << 3;
}

void LinksStaticsTest::linkRectFollowsTheLastLine()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, lines);
    MessagePage page;
    HelpLink link(&page);
    link.resize(width, 120);
    link.SetFont(14, MakeRgb(42, 169, 209));
    link.SetText(text);
    QCOMPARE(link.lines().size(), lines);
    QCOMPARE(link.lines().join(QLatin1Char(' ')), text);

    // The icon square sits 6 pixels after the last line's end, centred on that line.
    const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 14, false));
    const int h = metrics.height();
    const int y = (lines - 1) * h;
    const QRect r = link.linkRect();
    QCOMPARE(r.left(), metrics.horizontalAdvance(link.lines().last()) + 6);
    QCOMPARE(r.width(), h + 2 * 4 - 4);
    QCOMPARE(r.top(), y - 4 + 2 + (lines == 1 ? 1 : 0));
    QCOMPARE(r.top() + r.height(), y + h + 4 - 1 - (lines == 1 ? 0 : 1));
    for (const QString& line : link.lines()) // no line is wider than the control less 20
        QVERIFY2(lines == 1 || metrics.horizontalAdvance(line) <= width - 20 || !line.contains(QLatin1Char(' ')),
            qPrintable(line));
}

void LinksStaticsTest::overlayKinds_data()
{
    QTest::addColumn<LinkKind>("kind");
    QTest::addColumn<int>("overlay");
    QTest::addColumn<QPoint>("at"); // QPoint() stands for the centre of the link rectangle
    QTest::addColumn<bool>("hand");
    QTest::addColumn<std::vector<int>>("posted");

    QTest::newRow("on the icon") << LinkKind::Plain << 13 << QPoint() << true << std::vector<int> { 13 };
    QTest::newRow("on the text") << LinkKind::Plain << 13 << QPoint(3, 8) << false << std::vector<int> {};
    QTest::newRow("kind -1: hand, no message") << LinkKind::Plain << -1 << QPoint() << true << std::vector<int> {};
    QTest::newRow("icon left: corner") << LinkKind::IconLeft << 2 << QPoint(10, 10) << true << std::vector<int> { 2 };
    QTest::newRow("icon left: past 20") << LinkKind::IconLeft << 2 << QPoint(22, 10) << false << std::vector<int> {};
    QTest::newRow("fixed icon") << LinkKind::Fixed << 7 << QPoint(160, 10) << true << std::vector<int> { 7 };
    QTest::newRow("fixed icon: beside it") << LinkKind::Fixed << 7 << QPoint(150, 10) << false << std::vector<int> {};
}

void LinksStaticsTest::overlayKinds()
{
    QFETCH(LinkKind, kind);
    QFETCH(int, overlay);
    QFETCH(QPoint, at);
    QFETCH(bool, hand);
    QFETCH(std::vector<int>, posted);
    MessagePage page;
    std::unique_ptr<HelpLink> link;
    if (kind == LinkKind::Fixed) {
        auto fixed = std::make_unique<FixedIconHelpLink>(&page);
        fixed->setIconPos(152, 2);
        link = std::move(fixed);
    } else {
        link = std::make_unique<HelpLink>(&page);
        link->setIconLeft(kind == LinkKind::IconLeft);
    }
    link->setGeometry(10, 10, 300, 30);
    link->SetFont(14, MakeRgb(0, 0, 0));
    link->SetText(QStringLiteral("Help"));
    link->SetIcon(3090);
    link->setOverlayKind(overlay);
    if (kind == LinkKind::Fixed)
        QCOMPARE(link->linkRect(), QRect(152, 2, 22, 22));
    const QPoint point = at.isNull() ? link->linkRect().center() : at;
    QCOMPARE(CursorAfterMove(*link, point) == Qt::PointingHandCursor, hand);
    Press(*link, point);
    QCOMPARE(OverlayKinds(page), posted);
}

void LinksStaticsTest::imageButtonPostsItsKind()
{
    MessagePage page;
    OverlayPictureButton button(&page);
    button.setGeometry(0, 0, 26, 26);
    button.SetImage(3090);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    button.setOverlayKind(3);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(OverlayKinds(page), std::vector<int> { 3 });
    button.setOverlayKind(NO_OVERLAY);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(OverlayKinds(page).empty());
}

// A press on the page background starts moving the window: a control keeps the presses it acts on, and only
// those (a press on a plain text, or beside a link's icon, still moves the window).
void LinksStaticsTest::controlsKeepThePressesTheyActOn()
{
    MessagePage page;
    HelpLink link(&page);
    link.setGeometry(10, 10, 300, 30);
    link.SetFont(14, MakeRgb(0, 0, 0));
    link.SetText(QStringLiteral("Help"));
    link.SetIcon(3090);
    link.setOverlayKind(2);
    SmallLink hyperLink(&page);
    hyperLink.setGeometry(10, 50, 200, 20);
    hyperLink.SetStyle();
    hyperLink.SetText(QStringLiteral("How to reset"));
    hyperLink.MakeLink();
    TextLabel plain(&page);
    plain.setGeometry(10, 80, 200, 20);
    plain.SetText(QStringLiteral("Select your language:"));
    OverlayPictureButton image(&page);
    image.setGeometry(10, 110, 26, 26);
    image.SetImage(3090);
    image.setOverlayKind(3);
    LanguageCombo combo(&page);
    combo.setGeometry(10, 150, 200, 40);
    combo.AddItem(QStringLiteral("English"));

    struct Case
    {
        const char* what;
        QWidget* control;
        QPoint at;
        bool kept;
    };
    const Case cases[] = {
        { "link icon", &link, link.linkRect().center(), true }, { "link text", &link, QPoint(2, 10), false },
        { "hyperlink", &hyperLink, QPoint(5, 10), true }, { "plain text", &plain, QPoint(5, 10), false },
        { "image button", &image, QPoint(5, 5), true },
        { "combo text", &combo, QPoint(50, 20), true }, // last: it opens the list over the page
    };
    for (const Case& c : cases) {
        page.presses = 0;
        Press(*c.control, c.at);
        QVERIFY2(page.presses == (c.kept ? 0 : 1), c.what);
    }
    QVERIFY(combo.list() != nullptr);
}

void LinksStaticsTest::oneLineTextLinks_data()
{
    QTest::addColumn<int>("member"); // 0 TextLabel, 2 PageTitle, 3 SmallLink
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("underlined");
    QTest::newRow("static link") << 0 << true << true;
    QTest::newRow("static plain") << 0 << false << false;
    QTest::newRow("title link, never underlined") << 2 << true << false;
    QTest::newRow("hyperlink") << 3 << true << true;
}

void LinksStaticsTest::oneLineTextLinks()
{
    QFETCH(int, member);
    QFETCH(bool, link);
    QFETCH(bool, underlined);
    MessagePage page;
    std::unique_ptr<OneLineText> text;
    switch (member) {
    case 0:
        text = std::make_unique<TextLabel>(&page);
        break;
    case 2:
        text = std::make_unique<PageTitle>(&page);
        break;
    default: {
        auto hyper = std::make_unique<SmallLink>(&page);
        hyper->SetText(QStringLiteral("Terms of use"));
        hyper->resize(200, 20);
        hyper->MakeLink();
        text = std::move(hyper);
    }
    }
    text->setGeometry(0, 0, 200, 40);
    text->SetText(QStringLiteral("Terms of use"));
    text->setLink(link);
    QCOMPARE(text->DrawingFont().underline(), underlined);
    QTest::mouseClick(text.get(), Qt::LeftButton, {}, QPoint(5, 5));
    const std::vector<RecordedMessage> got = page.take();
    const std::vector<RecordedMessage> expected
        = link ? std::vector<RecordedMessage> { { WM_LINK_CLICKED, 0, 0 } } : std::vector<RecordedMessage> {};
    QCOMPARE(got, expected);
}

void LinksStaticsTest::chineseTitleFitsTheLatinBox_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("English") << 0 << QStringLiteral("Setup HDD for NVR");
    QTest::newRow("Traditional Chinese") << 4 << QStringLiteral("設定 NVR 硬碟");
    QTest::newRow("Simplified Chinese") << 5 << QStringLiteral("设置 NVR 硬盘");
}

void LinksStaticsTest::chineseTitleFitsTheLatinBox()
{
    // The title box is 38 pixels high for 32-pixel text; the Chinese faces behind the font must neither push the
    // text down out of it nor put the Latin letters on another baseline than the Chinese characters.
    QFETCH(int, language);
    QFETCH(QString, title);
    SetTextLanguage(language);
    MessagePage page;
    TextLabel text(&page);
    text.setGeometry(0, 0, 400, 60); // taller than the box, so nothing is clipped
    text.SetTitleStyle();
    text.SetFont(32, MakeRgb(0, 0, 0), false);
    text.SetText(title);
    QVERIFY(MeasureTextBlock(text.DrawingFont(), title, Qt::TextWordWrap, 400).height() <= 38);
    const QImage image = Render(page);
    SetTextLanguage(0);
    // Ink per column run: the lowest inked row of the Latin "NVR" and of the whole text.
    int lowest = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                lowest = y;
        }
    }
    QVERIFY2(lowest >= 20 && lowest < 38, QByteArray::number(lowest));
    const int nvrLeft = static_cast<int>(
        QFontMetricsF(text.DrawingFont()).horizontalAdvance(title.left(title.indexOf(QStringLiteral("NVR")))));
    int nvrBottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = nvrLeft + 2; x < nvrLeft + 20; ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                nvrBottom = y;
        }
    }
    // Capital letters sit on the baseline: the same baseline as English text of this size.
    QVERIFY2(std::abs(nvrBottom - 29) <= 2, QByteArray::number(nvrBottom));
}

void LinksStaticsTest::loadingStopsAtItsFrameLimit()
{
    BusyIndicator loading;
    loading.resize(600, 120);
    loading.SetText(QStringLiteral("Searching device"));
    loading.Layout();
    loading.Start(72);
    QCOMPARE(loading.timerId(), 1000);
    for (int tick = 0; tick < 72; ++tick)
        loading.Tick();
    QCOMPARE(loading.counter(), 72);
    QVERIFY(loading.isRunning());
    loading.Tick(); // the tick after the limit ends the timer, the last frame stays
    QVERIFY(!loading.isRunning());
    QCOMPARE(loading.timerId(), -1);
    for (int tick = 0; tick < 5; ++tick)
        loading.Tick();
    QCOMPARE(loading.counter(), 72);

    loading.Start(72); // a new start begins again at frame 0
    QCOMPARE(loading.counter(), 0);
    QVERIFY(loading.isRunning());
    loading.Stop();
    QVERIFY(!loading.isRunning());
}

void LinksStaticsTest::loadingTimerRunsOut()
{
    BusyIndicator loading;
    loading.resize(600, 120);
    loading.Start(3); // 200 ms ticks: over after four ticks
    QTRY_VERIFY_WITH_TIMEOUT(!loading.isRunning(), 5000);
    QCOMPARE(loading.counter(), 3);
}

void LinksStaticsTest::loadingLayoutCentresTextAndSpinner()
{
    BusyIndicator loading;
    loading.resize(600, 120);
    loading.SetText(QStringLiteral("Searching device"));
    loading.Layout();
    const QRect text = loading.textRect();
    const QRect frame = loading.frameRect();
    QCOMPARE(text.left(), (600 - text.width() - 77) / 2);
    QCOMPARE(text.top(), (120 - text.height()) / 2);
    // The spinner follows the text, 60 x 60, centred on the text's middle line.
    QCOMPARE(frame, QRect(text.left() + text.width(), text.top() + text.height() / 2 - 30, 60, 60));
}

QTEST_MAIN(LinksStaticsTest)
#include "ui_links_statics_test.moc"
