// The picture buttons: the look each member draws per state, and the choice and toggle messages.

#include "UiTestSupport.h"
#include "ui/IconCaptionButton.h"
#include "ui/PictureButton.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FilledLayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/Messages.h"

#include <QEnterEvent>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Test pictures: slot 0 red, slot 1 green on its left half and transparent on its right half, slot 2 blue,
// slot 3 yellow; all 8 x 8. The button is 40 x 20 at (10, 10) on a white page.
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), yellow(255, 255, 0), white(255, 255, 255);

enum class Member { Button, Button2, Button3, Button4, Icon };
enum class Mode { Normal, Hover, Pushed, Latched, Disabled };

std::unique_ptr<PictureButton> Make(Member member, QWidget* page)
{
    std::unique_ptr<PictureButton> button;
    switch (member) {
    case Member::Button:
        button = std::make_unique<PictureButton>(page);
        break;
    case Member::Button2:
        button = std::make_unique<LayeredPictureButton>(page);
        break;
    case Member::Button3:
        button = std::make_unique<FilledLayeredPictureButton>(page);
        break;
    case Member::Button4:
        button = std::make_unique<FadingPictureButton>(page);
        break;
    case Member::Icon:
        button = std::make_unique<IconCaptionButton>(page);
        break;
    }
    button->setGeometry(10, 10, 40, 20);
    for (int slot = 0; slot < 4; ++slot)
        button->SetImage(slot, 3090 + slot);
    return button;
}

void Apply(PictureButton& button, Mode mode)
{
    switch (mode) {
    case Mode::Normal:
        break;
    case Mode::Hover: {
        QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
        QCoreApplication::sendEvent(&button, &enter);
        break;
    }
    case Mode::Pushed:
        button.setDown(true);
        break;
    case Mode::Latched:
        button.setLatched(true);
        break;
    case Mode::Disabled:
        button.setDisabledLook(true);
        break;
    }
}

// Relative luminance of an sRGB colour, and the contrast ratio of two colours (1 to 21).
double Luminance(QColor c)
{
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double ContrastRatio(QColor a, QColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

Q_DECLARE_METATYPE(Member)
Q_DECLARE_METATYPE(Mode)

class ButtonsTest : public QObject
{
    Q_OBJECT
private slots:
    void looks_data();
    void looks();
    void gradientFill();
    void choiceMessages_data();
    void choiceMessages();
    void captionWidthFollowsCaptionSize();
    void disabledCaptionReadsOnTheArt();
};

void ButtonsTest::looks_data()
{
    QTest::addColumn<Member>("member");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("left"); // at (2, 10) of the button
    QTest::addColumn<QColor>("right"); // at (30, 10)
    QTest::addColumn<QColor>("topCorner"); // at (2, 2)
    const QColor halfRed(255, 127, 127), halfGreen(127, 255, 127), blue60(102, 102, 255);

    // PictureButton shows slot 1 whether hovered, pushed or latched; only the disabled look differs (slot 0 faded).
    QTest::newRow("1 normal") << Member::Button << Mode::Normal << 1 << green << white << green;
    QTest::newRow("1 hover") << Member::Button << Mode::Hover << 3 << green << white << green;
    QTest::newRow("1 pushed") << Member::Button << Mode::Pushed << 2 << green << white << green;
    QTest::newRow("1 latched") << Member::Button << Mode::Latched << 2 << green << white << green;
    QTest::newRow("1 disabled") << Member::Button << Mode::Disabled << 0 << halfRed << halfRed << halfRed;
    // LayeredPictureButton and 3: each state its picture; hover draws slot 3 and then slot 1 over it.
    QTest::newRow("2 normal") << Member::Button2 << Mode::Normal << 1 << green << white << green;
    QTest::newRow("2 hover") << Member::Button2 << Mode::Hover << 3 << green << yellow << green;
    QTest::newRow("2 pushed") << Member::Button2 << Mode::Pushed << 2 << blue << blue << blue;
    QTest::newRow("2 latched") << Member::Button2 << Mode::Latched << 2 << blue << blue << blue;
    QTest::newRow("2 disabled") << Member::Button2 << Mode::Disabled << 0 << red << red << red;
    QTest::newRow("3 hover") << Member::Button3 << Mode::Hover << 3 << green << yellow << green;
    QTest::newRow("3 pushed") << Member::Button3 << Mode::Pushed << 2 << blue << blue << blue;
    // FadingPictureButton: pressed is slot 1 at half opacity, as wide as the button.
    QTest::newRow("4 normal") << Member::Button4 << Mode::Normal << 1 << green << white << green;
    QTest::newRow("4 hover") << Member::Button4 << Mode::Hover << 3 << green << white << green;
    QTest::newRow("4 pushed") << Member::Button4 << Mode::Pushed << 2 << halfGreen << white << halfGreen;
    QTest::newRow("4 disabled") << Member::Button4 << Mode::Disabled << 0 << red << red << red;
    // IconCaptionButton: pressed is slot 2 at 0.6 opacity, as wide as the button; hover is slot 3.
    QTest::newRow("icon normal") << Member::Icon << Mode::Normal << 1 << green << white << green;
    QTest::newRow("icon hover") << Member::Icon << Mode::Hover << 3 << yellow << yellow << yellow;
    QTest::newRow("icon pushed") << Member::Icon << Mode::Pushed << 2 << blue60 << blue60 << blue60;
    QTest::newRow("icon disabled") << Member::Icon << Mode::Disabled << 0 << red << red << red;
}

void ButtonsTest::looks()
{
    QFETCH(Member, member);
    QFETCH(Mode, mode);
    QFETCH(int, state);
    QFETCH(QColor, left);
    QFETCH(QColor, right);
    QFETCH(QColor, topCorner);
    MessagePage page;
    auto button = Make(member, &page);
    Apply(*button, mode);
    QCOMPARE(button->State(), state);
    const QImage image = Render(page);
    const QColor l = image.pixelColor(12, 20), r = image.pixelColor(40, 20), c = image.pixelColor(12, 12);
    QVERIFY2(Near(l, left), Describe(l));
    QVERIFY2(Near(r, right), Describe(r));
    QVERIFY2(Near(c, topCorner), Describe(c));
}

void ButtonsTest::gradientFill()
{
    MessagePage page;
    auto button = Make(Member::Button, &page);
    button->setFillMode(2);
    QImage image = Render(page);
    QVERIFY2(Near(image.pixelColor(12, 10), QColor(0x33, 0x8B, 0xC2), 6), Describe(image.pixelColor(12, 10)));
    QVERIFY2(Near(image.pixelColor(12, 29), QColor(0x00, 0x58, 0x8F), 6), Describe(image.pixelColor(12, 29)));
    button->setFillMode(1); // no background at all
    image = Render(page);
    QCOMPARE(image.pixelColor(12, 20), white);
}

void ButtonsTest::choiceMessages_data()
{
    QTest::addColumn<bool>("icon");
    QTest::addColumn<bool>("radio");
    QTest::addColumn<bool>("notify");
    QTest::addColumn<bool>("startLatched");
    QTest::addColumn<QList<int>>("posted"); // wParams posted by three clicks
    QTest::addColumn<QList<bool>>("latched"); // latched after each click

    QTest::newRow("radio posts once") << false << true << false << false << QList<int> { 7 }
                                      << QList<bool> { true, true, true };
    QTest::newRow("latched radio posts nothing")
        << false << true << false << true << QList<int> {} << QList<bool> { true, true, true };
    QTest::newRow("toggle with notification")
        << false << false << true << false << QList<int> { 4, 4, 4 } << QList<bool> { true, false, true };
    QTest::newRow("toggle without notification")
        << false << false << false << false << QList<int> {} << QList<bool> { true, false, true };
    QTest::newRow("icon toggle never posts")
        << true << false << true << false << QList<int> {} << QList<bool> { true, false, true };
    QTest::newRow("icon radio posts") << true << true << false << false << QList<int> { 7 }
                                      << QList<bool> { true, true, true };
}

void ButtonsTest::choiceMessages()
{
    QFETCH(bool, icon);
    QFETCH(bool, radio);
    QFETCH(bool, notify);
    QFETCH(bool, startLatched);
    QFETCH(QList<int>, posted);
    QFETCH(QList<bool>, latched);
    MessagePage page;
    auto button = Make(icon ? Member::Icon : Member::Button, &page);
    button->setChoiceMode(true, radio, 7);
    button->setNotifyToggle(notify);
    button->setLatched(startLatched);
    QList<int> seen;
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(button->latched(), latched.at(click));
        for (const RecordedMessage& m : page.take()) {
            QCOMPARE(m.message, WM_CHOICE_CHANGED);
            seen << static_cast<int>(m.wParam);
        }
    }
    QCOMPARE(seen, posted);
}

void ButtonsTest::captionWidthFollowsCaptionSize()
{
    MessagePage page;
    PictureButton button(&page);
    button.setText(QStringLiteral("NEXT   >"));
    const int normal = button.CaptionWidth();
    QVERIFY(normal > 40);
    button.setLargeCaption(true);
    QCOMPARE(button.CaptionSize(), 16);
    QVERIFY(button.CaptionWidth() > normal);
    FadingPictureButton four(&page);
    QCOMPARE(four.CaptionSize(), 15);
    IconCaptionButton iconButton(&page);
    QCOMPARE(iconButton.CaptionSize(), 13);
    QCOMPARE(LayeredPictureButton(&page).CaptionSize(), 16);
}

// The program's own art: a PictureButton with the disabled look draws its disabled picture (3045) at half opacity
// over the page, and its white caption must still read (a contrast of at least 3:1 with the face it lies on).
void ButtonsTest::disabledCaptionReadsOnTheArt()
{
    MessagePage page;
    PictureButton button(&page);
    button.setGeometry(10, 10, 118, 43);
    const int images[] = { 3045, 3042, 3044, 3043 };
    for (int slot = 0; slot < 4; ++slot)
        button.SetImage(slot, images[slot]);
    QVERIFY(!button.image(0).isNull());
    button.setDisabledLook(true);
    const QImage image = Render(page);
    for (const QPoint at : { QPoint(10 + 59, 10 + 21), QPoint(10 + 12, 10 + 8), QPoint(10 + 105, 10 + 35) }) {
        const QColor face = image.pixelColor(at);
        QVERIFY2(ContrastRatio(Qt::white, face) >= 3.0,
            Describe(face) + " contrast " + QByteArray::number(ContrastRatio(Qt::white, face), 'f', 2));
    }
}

QTEST_MAIN(ButtonsTest)
#include "ui_buttons_test.moc"
