// The flowing texts: words cut at the emphasis markup and at spaces, and their layout in lines.

#include "ui/WrappedText.h"
#include "ui/MarkupText.h"
#include "ui/ErrorLine.h"
#include "ui/Drawing.h"

#include <QtTest>

namespace {

using Words = std::vector<FlowWord>;

FlowWord N(const char* text)
{
    return FlowWord { false, QString::fromUtf8(text) };
}
FlowWord E(const char* text)
{
    return FlowWord { true, QString::fromUtf8(text) };
}

QString Joined(const FlowLayout& layout)
{
    QString all;
    for (const FlowPlacement& p : layout.words)
        all += p.text;
    return all;
}

} // namespace

Q_DECLARE_METATYPE(Words)

class FlowingTextTest : public QObject
{
    Q_OBJECT
private slots:
    void wordsAtMarkup_data();
    void wordsAtMarkup();
    void plainTextsIgnoreMarkup();
    void textAfterEmphasisFollowsANormalSpace();
    void wordsWrapAtTheWidth();
    void overflowingWordTakesOneLine();
    void charWrapBreaksChineseAtTheLastFittingCharacter();
    void charWrapKeepsLatinWordsWhole();
    void charWrapKeepsPunctuationWithItsCharacter_data();
    void charWrapKeepsPunctuationWithItsCharacter();
    void marginsAndPrefixNarrowTheArea();
};

void FlowingTextTest::wordsAtMarkup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Words>("words");
    QTest::newRow("quoted emphasis then full stop")
        << QStringLiteral("Select your NVR, then click <br>\"Next\"</br>.")
        << Words { N("Select"), N("your"), N("NVR,"), N("then"), N("click"), E("\"Next\""), N(".") };
    QTest::newRow("single-space segments dropped") << QStringLiteral(" <br>A</br> ") << Words { E("A") };
    QTest::newRow("unclosed markup emphasises the rest")
        << QStringLiteral("a <br>b  c") << Words { N("a"), E("b"), E("c") };
    QTest::newRow("two emphasised parts")
        << QStringLiteral("<br>x</br> and <br>y z</br>") << Words { E("x"), N("and"), E("y"), E("z") };
    QTest::newRow("no markup") << QStringLiteral("  plain   words ") << Words { N("plain"), N("words") };
    QTest::newRow("empty") << QString() << Words {};
}

void FlowingTextTest::wordsAtMarkup()
{
    QFETCH(QString, text);
    QFETCH(Words, words);
    MarkupText flowing;
    flowing.SetText(text);
    QVERIFY(flowing.Words() == words);
}

void FlowingTextTest::plainTextsIgnoreMarkup()
{
    WrappedText plain;
    plain.SetText(QStringLiteral("click <br>Next</br> now"));
    QVERIFY((plain.Words() == Words { N("click"), N("<br>Next</br>"), N("now") }));
    ErrorLine error;
    error.SetText(QStringLiteral(" <br>x</br> "));
    QVERIFY((error.Words() == Words { N("<br>x</br>") }));
}

void FlowingTextTest::textAfterEmphasisFollowsANormalSpace()
{
    MarkupText flowing;
    flowing.resize(700, 60);
    flowing.SetFont(14, 0xFF636566u);
    flowing.SetText(QStringLiteral("then click <br>\"Next\"</br>."));
    const FlowLayout layout = flowing.LayoutWords(false);
    QCOMPARE(layout.words.size(), size_t(4));
    QCOMPARE(layout.lines, 1);
    const FlowPlacement& then = layout.words[0];
    const FlowPlacement& click = layout.words[1];
    const FlowPlacement& next = layout.words[2];
    const FlowPlacement& stop = layout.words[3];
    QCOMPARE(click.rect.left() - (then.rect.left() + then.rect.width()), 1);
    QVERIFY(next.emphasis);
    QCOMPARE(stop.text, QStringLiteral("."));
    QCOMPARE(stop.rect.left() - (next.rect.left() + next.rect.width()), 1); // as between "then" and "click"

    // An emphasised run of several words: parted like normal words inside and from the words after it (no gap as
    // wide as the font after "GO TO NVR").
    flowing.SetText(QStringLiteral("click on <br>\"GO TO NVR\"</br> to log in"));
    const FlowLayout run = flowing.LayoutWords(false);
    QCOMPARE(Joined(run), QStringLiteral("clickon\"GOTONVR\"tologin"));
    QList<int> gaps;
    for (size_t i = 1; i < run.words.size(); ++i)
        gaps << run.words[i].rect.left() - (run.words[i - 1].rect.left() + run.words[i - 1].rect.width());
    QCOMPARE(gaps, (QList<int> { 1, 1, 1, 1, 1, 1, 1 }));
}

void FlowingTextTest::wordsWrapAtTheWidth()
{
    MarkupText flowing;
    flowing.resize(200, 100);
    flowing.SetFont(14, 0xFF000000u);
    flowing.SetText(QStringLiteral("The setup wizard can automatically detect compatible cameras on the network."));
    const FlowLayout layout = flowing.LayoutWords(false);
    QVERIFY(layout.lines > 2);
    for (const FlowPlacement& p : layout.words) {
        QVERIFY2(p.rect.right() < 200, qPrintable(p.text));
        QCOMPARE(p.rect.top(), p.line * layout.lineHeight);
    }
    // The measurement wraps at least as early as the drawing, so the height it gives always holds the text.
    QVERIFY(flowing.MeasureHeight() >= layout.lines * layout.lineHeight);
    QCOMPARE(flowing.MeasureHeight() % layout.lineHeight, 0);
}

void FlowingTextTest::overflowingWordTakesOneLine()
{
    MarkupText flowing;
    flowing.resize(60, 40);
    flowing.SetFont(14, 0xFF000000u);
    flowing.SetText(QStringLiteral("Supercalifragilistic"));
    FlowLayout layout = flowing.LayoutWords(true);
    QCOMPARE(layout.lines, 1);
    QVERIFY(layout.words[0].rect.width() > 60);
    QCOMPARE(flowing.MeasureHeight(), layout.lineHeight); // never painted: the line height of the first word

    flowing.SetText(QStringLiteral("a Supercalifragilistic b"));
    layout = flowing.LayoutWords(false);
    QCOMPARE(layout.lines, 3); // the long word moves down, overflows there, and the next word starts a new line
    QCOMPARE(layout.words[1].line, 1);
    QCOMPARE(layout.words[1].rect.left(), 0);
    QCOMPARE(layout.words[2].line, 2);
}

void FlowingTextTest::charWrapBreaksChineseAtTheLastFittingCharacter()
{
    SetTextLanguage(5);
    MarkupText flowing;
    flowing.resize(200, 200);
    flowing.SetFont(14, 0xFF000000u);
    flowing.setCharWrap(true);
    const QString text
        = QStringLiteral("请从列表中选择您的录像机然后点击下一步如果您有多台录像机可以通过标签上的地址识别");
    flowing.SetText(QStringLiteral("选择 ") + text);
    const FlowLayout layout = flowing.LayoutWords(false);
    QVERIFY(layout.lines >= 3);
    QCOMPARE(Joined(layout), QStringLiteral("选择") + text);
    const FlowPlacement& head = layout.words[1]; // the piece that ends the first line
    QCOMPARE(head.line, 0);
    QVERIFY(head.rect.left() + head.rect.width() + 2 <= 200);
    // One more character would not have fitted.
    MarkupText probe;
    probe.resize(2000, 40);
    probe.SetFont(14, 0xFF000000u);
    probe.SetText(text.left(head.text.size() + 1));
    QVERIFY(head.rect.left() + probe.LayoutWords(false).words[0].rect.width() + 2 > 200);
    for (const FlowPlacement& p : layout.words)
        QVERIFY(p.rect.left() + p.rect.width() + 2 <= 200);

    flowing.setCharWrap(false); // without charWrap the run stays whole and overflows on its own line
    const FlowLayout whole = flowing.LayoutWords(false);
    QCOMPARE(whole.words.size(), size_t(2));
    QCOMPARE(whole.lines, 2);
    SetTextLanguage(0);
}

void FlowingTextTest::charWrapKeepsLatinWordsWhole()
{
    MarkupText flowing;
    flowing.resize(200, 200);
    flowing.SetFont(14, 0xFF000000u);
    flowing.setCharWrap(true);
    flowing.SetText(QStringLiteral("Please ABCDEFGHIJKLMNOPQRSTU"));
    FlowLayout layout = flowing.LayoutWords(false);
    QCOMPARE(layout.words.size(), size_t(2));
    QCOMPARE(layout.words[1].text, QStringLiteral("ABCDEFGHIJKLMNOPQRSTU"));
    QCOMPARE(layout.words[1].line, 1);

    // Mixed text breaks only after a character above 126.
    flowing.SetText(QStringLiteral("Please 录像机录像机ABCDEFGHIJ录像机"));
    layout = flowing.LayoutWords(false);
    for (const FlowPlacement& p : layout.words)
        QVERIFY2(!p.text.endsWith(QLatin1Char('I')) || p.text.endsWith(QStringLiteral("J录像机")), qPrintable(p.text));
    QCOMPARE(Joined(layout), QStringLiteral("Please录像机录像机ABCDEFGHIJ录像机"));
}

void FlowingTextTest::charWrapKeepsPunctuationWithItsCharacter_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::newRow("simplified commas and full stops")
        << 5
        << QStringLiteral(
               "从列表中选择您的录像机，然后单击下一步。如果您有多台录像机，可以通过标签上的地址来区分它们。");
    QTest::newRow("traditional brackets and quotes")
        << 4
        << QStringLiteral("請按一下「下一步」繼續（或按「取消」離開）；完成後，精靈會顯示摘要：《快速指南》！好嗎？");
    QTest::newRow("full stop after an emphasised word")
        << 4
        << QStringLiteral("從清單中選擇您的錄影機，然後按一下<br>「下一步」</br>。如果您有多台錄影機，請查看標籤。");
    QTest::newRow("mixed with Latin words")
        << 5 << QStringLiteral("请输入 NVR 的密码（6 到 30 个字符），然后单击“确定”。密码错误时，请重试、或重置。");
}

void FlowingTextTest::charWrapKeepsPunctuationWithItsCharacter()
{
    QFETCH(int, language);
    QFETCH(QString, text);
    static const QString closing = QStringLiteral("，。、；：？！）」』》〉”");
    static const QString opening = QStringLiteral("（「『《〈“");
    SetTextLanguage(language);
    QString expected = text;
    expected.remove(QStringLiteral("<br>")).remove(QStringLiteral("</br>")).remove(QLatin1Char(' '));
    // Every width from a few characters up: somewhere the plain cut would fall next to each punctuation mark.
    for (int width = 90; width <= 330; width += 3) {
        MarkupText flowing;
        flowing.resize(width, 400);
        flowing.SetFont(14, 0xFF000000u);
        flowing.setCharWrap(true);
        flowing.SetText(text);
        const FlowLayout layout = flowing.LayoutWords(false);
        QCOMPARE(Joined(layout), expected);
        QStringList lines(layout.lines);
        for (const FlowPlacement& p : layout.words) {
            lines[p.line] += p.text;
            QVERIFY2(p.rect.left() + p.rect.width() + 2 <= width,
                qPrintable(QStringLiteral("%1 overflows at width %2").arg(p.text).arg(width)));
        }
        for (int i = 0; i < lines.size(); ++i) {
            const QString why = QStringLiteral("width %1, line %2: %3").arg(width).arg(i).arg(lines[i]);
            QVERIFY2(!lines[i].isEmpty(), qPrintable(why));
            QVERIFY2(i == 0 || !closing.contains(lines[i].front()), qPrintable(why));
            QVERIFY2(i == lines.size() - 1 || !opening.contains(lines[i].back()), qPrintable(why));
        }
    }
    SetTextLanguage(0);
}

void FlowingTextTest::marginsAndPrefixNarrowTheArea()
{
    ErrorLine error;
    error.resize(300, 60);
    error.SetFont(14, 0xFFFF0000u);
    error.setIndent(10, 5);
    error.SetText(QStringLiteral("Wrong password"));
    FlowLayout layout = error.LayoutWords(false);
    QCOMPARE(layout.area, QRect(15, 10, 275, 40));
    QCOMPARE(layout.words[0].rect.topLeft(), QPoint(15, 10));

    error.setPrefix(true, QStringLiteral("!"), 0xFFFF0000u);
    layout = error.LayoutWords(false);
    QVERIFY(layout.prefixWidth > 0);
    QCOMPARE(layout.area.left(), 15 + layout.prefixWidth - 4);
}

QTEST_MAIN(FlowingTextTest)
#include "ui_flowing_text_test.moc"
