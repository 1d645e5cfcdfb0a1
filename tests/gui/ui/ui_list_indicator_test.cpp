// The slim scroll bar beside a real list widget (thumb position, size, dragging, paging) and the page indicator.

#include "UiTestSupport.h"
#include "ui/SlimScrollBar.h"
#include "ui/ProgressDots.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor grey(127, 127, 127), dotGrey(0xC4, 0xC4, 0xC4), white(255, 255, 255);

// A list of `rows` rows of 20 pixels, 10 of them visible (200 high, scrolled by rows), with the bar beside it:
// 14 x 200, top band 32, so the track is 168 pixels.
struct ListFixture
{
    MessagePage page;
    QListWidget* list;
    SlimScrollBar* bar;

    // withLabels: each row shows a label as its item widget, a child of the list's viewport that moves only when
    // the list really scrolls, as the rows the user sees do.
    explicit ListFixture(int rows, bool withLabels = false)
    {
        list = new QListWidget(&page);
        list->setFrameShape(QFrame::NoFrame);
        list->setUniformItemSizes(true);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        for (int i = 0; i < rows; ++i) {
            auto* item = new QListWidgetItem(QStringLiteral("row %1").arg(i), list);
            item->setSizeHint(QSize(100, 20));
            if (withLabels)
                list->setItemWidget(item, new QLabel(item->text()));
        }
        list->setGeometry(10, 10, 200, 200);
        bar = new SlimScrollBar(&page);
        bar->setGeometry(210, 10, 14, 200);
        bar->Attach(list);
        bar->SetImage(3090);
        page.show();
        QTest::qWait(0);
        QCoreApplication::processEvents();
        bar->FitThumb();
        bar->Update();
    }

    int pos() const { return list->verticalScrollBar()->value(); }

    void send(QEvent::Type type, int y, Qt::MouseButtons buttons)
    {
        const QPoint at(5, y);
        QMouseEvent event(type, at, bar->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
            buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    }

    QColor barPixel(int y) const { return bar->grab().toImage().pixelColor(7, y); }
};

} // namespace

class ListIndicatorTest : public QObject
{
    Q_OBJECT
private slots:
    void thumbFollowsTheList_data();
    void thumbFollowsTheList();
    void thumbSize_data();
    void thumbSize();
    void rowsThatFitShowNoThumb();
    void draggingTheThumbScrollsTheList();
    void draggedListShowsTheRowsItHits();
    void longListKeepsAThumbToGrab_data();
    void longListKeepsAThumbToGrab();
    void clickBesideTheThumbPages();
    void pageIndicatorDots_data();
    void pageIndicatorDots();
};

void ListIndicatorTest::thumbFollowsTheList_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("thumbTop");
    // 14 rows: limit 4, ratio 168 / 4 = 42, thumb 42 high; past 200 - 2 x 42 the thumb goes to the bottom.
    QTest::newRow("top") << 0 << 32;
    QTest::newRow("one row") << 1 << 74;
    QTest::newRow("two rows, at the clamp line") << 2 << 116;
    QTest::newRow("three rows: to the bottom") << 3 << 158;
    QTest::newRow("end") << 4 << 158;
}

void ListIndicatorTest::thumbFollowsTheList()
{
    QFETCH(int, position);
    QFETCH(int, thumbTop);
    ListFixture f(14);
    QCOMPARE(f.list->verticalScrollBar()->maximum(), 4);
    QCOMPARE(f.bar->thumbHeight(), 42);
    f.list->scrollToItem(f.list->item(position), QAbstractItemView::PositionAtTop); // the list's own scrolling
    QCOMPARE(f.pos(), position);
    QCOMPARE(f.bar->thumbTop(), thumbTop);
    QCOMPARE(f.bar->ratio(), 42.0);
    QVERIFY2(Near(f.barPixel(thumbTop + 1), grey), Describe(f.barPixel(thumbTop + 1)));
    if (thumbTop > 32 + 1)
        QVERIFY2(Near(f.barPixel(thumbTop - 1), white), Describe(f.barPixel(thumbTop - 1)));
    QVERIFY2(Near(f.barPixel(5), QColor(255, 0, 0)), Describe(f.barPixel(5))); // the top band picture
}

void ListIndicatorTest::thumbSize_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("thumbHeight");
    QTest::newRow("two rows: track four times their height, kept") << 2 << 32;
    QTest::newRow("eight rows: no scrolling, kept") << 8 << 32;
    QTest::newRow("14 rows: track / limit") << 14 << 42;
    QTest::newRow("40 rows: track / limit, raised to the minimum") << 40 << SlimScrollBar::kMinThumbHeight;
    QTest::newRow("11 rows: a full track, halved once") << 11 << 84;
}

void ListIndicatorTest::thumbSize()
{
    QFETCH(int, rows);
    QFETCH(int, thumbHeight);
    ListFixture f(rows);
    QCOMPARE(f.bar->thumbHeight(), thumbHeight);
}

void ListIndicatorTest::rowsThatFitShowNoThumb()
{
    ListFixture f(8);
    QVERIFY(!f.bar->ThumbVisible());
    for (int y = 33; y < 200; y += 10)
        QVERIFY2(Near(f.barPixel(y), white), Describe(f.barPixel(y)));
    // A click still asks the list to page, which cannot move.
    f.send(QEvent::MouseButtonPress, 150, Qt::LeftButton);
    f.send(QEvent::MouseButtonRelease, 150, Qt::NoButton);
    QCoreApplication::processEvents();
    QCOMPARE(f.pos(), 0);
}

void ListIndicatorTest::draggingTheThumbScrollsTheList()
{
    ListFixture f(14);
    f.send(QEvent::MouseButtonPress, 40, Qt::LeftButton); // on the thumb (32 to 73)
    QVERIFY(f.bar->dragging());
    // Thumb top = mouse y - 42 / 3; the list goes to (top - 32) / ((200 - 2 x 42) / 4) rows.
    f.send(QEvent::MouseMove, 100, Qt::LeftButton);
    QCOMPARE(f.bar->thumbTop(), 86);
    QCOMPARE(f.pos(), 1);
    f.send(QEvent::MouseMove, 150, Qt::LeftButton);
    QCOMPARE(f.pos(), 3);
    QCOMPARE(f.bar->thumbTop(), 158); // past the clamp line: at the bottom
    f.send(QEvent::MouseMove, 0, Qt::LeftButton);
    QCOMPARE(f.pos(), 0);
    QCOMPARE(f.bar->thumbTop(), 32);
    f.send(QEvent::MouseButtonRelease, 0, Qt::NoButton);
    QVERIFY(!f.bar->dragging());
    QCoreApplication::processEvents();
    QCOMPARE(f.pos(), 0); // a drag does not page
}

void ListIndicatorTest::draggedListShowsTheRowsItHits()
{
    ListFixture f(30, true);
    QWidget* viewport = f.list->viewport();
    f.send(QEvent::MouseButtonPress, 40, Qt::LeftButton);
    QVERIFY(f.bar->dragging());
    f.send(QEvent::MouseMove, 110, Qt::LeftButton); // the thumb to the middle of the track
    f.send(QEvent::MouseButtonRelease, 110, Qt::NoButton);
    QCoreApplication::processEvents();
    const int first = f.pos();
    QVERIFY2(first >= 8 && first <= 12, QByteArray::number(first));
    // The rows moved: the label of the first row shown sits at the top, and what is shown at the third row is the
    // row a click there selects.
    QCOMPARE(f.list->itemWidget(f.list->item(first))->y(), 0);
    const QPoint thirdRow(30, 2 * 20 + 10);
    auto* shown = qobject_cast<QLabel*>(viewport->childAt(thirdRow));
    QVERIFY(shown != nullptr);
    QCOMPARE(shown->text(), QStringLiteral("row %1").arg(first + 2));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, thirdRow);
    QCOMPARE(f.list->currentRow(), first + 2);
    // The thumb stands where the list is.
    QCOMPARE(f.bar->thumbTop(), 32 + static_cast<int>(f.bar->ratio() * first));
}

void ListIndicatorTest::longListKeepsAThumbToGrab_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("150 rows (one pixel fitted)") << 150;
    QTest::newRow("199 rows (none fitted)") << 199;
}

void ListIndicatorTest::longListKeepsAThumbToGrab()
{
    QFETCH(int, rows);
    ListFixture f(rows);
    const int limit = rows - 10;
    QCOMPARE(f.bar->thumbHeight(), SlimScrollBar::kMinThumbHeight);
    QVERIFY2(Near(f.barPixel(32 + 10), grey), Describe(f.barPixel(32 + 10)));
    // It can be grabbed and dragged to either end, and it stays inside the bar.
    f.send(QEvent::MouseButtonPress, 32 + 10, Qt::LeftButton);
    QVERIFY(f.bar->dragging());
    f.send(QEvent::MouseMove, 215, Qt::LeftButton); // past the bar's end
    QCOMPARE(f.pos(), limit);
    QCOMPARE(f.bar->thumbTop() + f.bar->thumbHeight(), 200);
    f.send(QEvent::MouseMove, 5, Qt::LeftButton);
    QCOMPARE(f.pos(), 0);
    f.send(QEvent::MouseButtonRelease, 5, Qt::NoButton);
    QCOMPARE(f.bar->thumbTop(), 32);
    // Every position of the list puts the whole thumb inside the track.
    for (int position = 0; position <= limit; ++position) {
        f.list->verticalScrollBar()->setValue(position);
        QVERIFY(f.bar->thumbTop() >= 32);
        QVERIFY(f.bar->thumbTop() + f.bar->thumbHeight() <= 200);
    }
    QCOMPARE(f.bar->thumbTop() + f.bar->thumbHeight(), 200); // at the end, at the bottom
}

void ListIndicatorTest::clickBesideTheThumbPages()
{
    ListFixture f(30); // limit 20, ratio 8.4; 168 / 20 = 8 is raised to the minimum thumb
    QCOMPARE(f.bar->thumbHeight(), SlimScrollBar::kMinThumbHeight);
    f.send(QEvent::MouseButtonPress, 150, Qt::LeftButton);
    QVERIFY(!f.bar->dragging());
    f.send(QEvent::MouseButtonRelease, 150, Qt::NoButton);
    QCOMPARE(f.pos(), 0); // posted to the list, not done at once
    QTRY_COMPARE(f.pos(), 10);
    QCOMPARE(f.bar->thumbTop(), 32 + 84);
    f.send(QEvent::MouseButtonPress, 50, Qt::LeftButton);
    f.send(QEvent::MouseButtonRelease, 50, Qt::NoButton);
    QTRY_COMPARE(f.pos(), 0);
    QCOMPARE(f.bar->thumbTop(), 32);
    // Keys on the list move the thumb too.
    f.list->setFocus();
    QTest::keyClick(f.list, Qt::Key_End);
    QCOMPARE(f.pos(), 20);
    QCOMPARE(f.bar->thumbTop(), 200 - SlimScrollBar::kMinThumbHeight);
}

void ListIndicatorTest::pageIndicatorDots_data()
{
    QTest::addColumn<int>("filled");
    QTest::newRow("none") << 0;
    QTest::newRow("search page") << 5;
    QTest::newRow("all") << 11;
}

void ListIndicatorTest::pageIndicatorDots()
{
    QFETCH(int, filled);
    MessagePage page;
    ProgressDots indicator(&page);
    indicator.setGeometry(0, 0, 200, 30);
    indicator.setTotal(11);
    indicator.setRadius(6);
    indicator.setGap(6);
    indicator.setFilled(filled);
    const QImage image = Render(page);
    for (int i = 0; i < 11; ++i) {
        QCOMPARE(indicator.DotRect(i), QRect(i * 18, 0, 12, 12));
        const QColor centre = image.pixelColor(i * 18 + 6, 6);
        const QColor rim = image.pixelColor(i * 18, 6);
        const QColor between = image.pixelColor(i * 18 + 14, 6);
        QVERIFY2(Near(centre, i < filled ? dotGrey : white), Describe(centre));
        QVERIFY2(!Near(rim, white, 10), Describe(rim));
        QVERIFY2(Near(between, white), Describe(between));
    }
}

QTEST_MAIN(ListIndicatorTest)
#include "ui_list_indicator_test.moc"
