// The language combo and its drop-down list: where the list opens, how it scrolls, replacing it, and the choice
// reaching the page.

#include "UiTestSupport.h"
#include "ui/LanguageDropDown.h"
#include "ui/LanguageCombo.h"
#include "ui/InputLayer.h"
#include "ui/Messages.h"

#include <QMouseEvent>
#include <QtTest>

namespace {

// A combo 200 x 30 at (50, 230) on a 400 x 300 page, with count items "item 0" ...
struct ComboFixture
{
    MessagePage page;
    LanguageCombo* combo;

    ComboFixture(int count, int current)
    {
        combo = new LanguageCombo(&page);
        combo->SetStyle();
        combo->setGeometry(50, 230, 200, 30);
        for (int i = 0; i < count; ++i)
            combo->AddItem(QStringLiteral("item %1").arg(i));
        combo->SetCurrent(current);
        page.show();
    }

    InputLayer* layer() const { return page.findChild<InputLayer*>(); }
};

void Move(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

class ComboTest : public QObject
{
    Q_OBJECT
private slots:
    void listPlacement_data();
    void listPlacement();
    void arrowsScrollWithinTheItems();
    void hoverHighlightsTheRowUnderTheMouse();
    void choosingReachesThePage();
    void clickOnTheComboReplacesTheList();
    void dismissingPostsNoChoice();
    void itemsAreCappedAt23();
};

void ComboTest::listPlacement_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("shown");
    QTest::newRow("six, current 5") << 6 << 5 << 0 << 6;
    QTest::newRow("six, current 0") << 6 << 0 << 0 << 6;
    QTest::newRow("three") << 3 << 1 << 0 << 3;
    QTest::newRow("ten, current 7: scrolled to the end") << 10 << 7 << 4 << 6;
    QTest::newRow("23, current 8: scrolled to it") << 23 << 8 << 8 << 6;
}

void ComboTest::listPlacement()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, first);
    QFETCH(int, shown);
    ComboFixture f(count, current);
    QTest::mouseClick(f.combo, Qt::LeftButton, {}, QPoint(20, 15));
    LanguageDropDown* list = f.combo->list();
    QVERIFY(list != nullptr);
    QVERIFY(list->isVisible());
    QCOMPARE(list->first(), first);
    QCOMPARE(list->highlighted(), current);
    QCOMPARE(list->ShownRows(), shown);
    // As wide as the combo at its left edge; rows of the combo's height and a 20-pixel band above and below.
    const QRect geometry(list->mapTo(&f.page, QPoint(0, 0)), list->size());
    QCOMPARE(geometry.left(), 50);
    QCOMPARE(geometry.width(), 200);
    QCOMPARE(geometry.height(), 30 * shown + 40);
    // The current item's row lies exactly over the combo.
    const QRect row = list->RowRect(current - first).translated(geometry.topLeft());
    QCOMPARE(row, QRect(50, 230, 200, 30));
    if (first == 0)
        QCOMPARE(geometry.top(), 230 + 30 - 30 * (current + 1) - 20);
}

void ComboTest::arrowsScrollWithinTheItems()
{
    ComboFixture f(9, 0);
    f.combo->OpenList();
    LanguageDropDown* list = f.combo->list();
    const QPoint up = list->upArrowRect().center();
    const QPoint down = list->downArrowRect().center();
    QCOMPARE(list->upArrowRect().size(), QSize(20, 20));
    QCOMPARE(list->downArrowRect().bottom(), list->height() - 1);
    const QList<int> clicks { 1, 1, 1, 1, -1, -1, -1, -1, -1 }; // 1 down, -1 up
    const QList<int> firsts { 1, 2, 3, 3, 2, 1, 0, 0, 0 };
    for (int i = 0; i < clicks.size(); ++i) {
        QTest::mouseClick(list, Qt::LeftButton, {}, clicks[i] > 0 ? down : up);
        QCOMPARE(list->first(), firsts[i]);
    }
    QVERIFY(f.page.take().empty()); // scrolling chooses nothing
    QVERIFY(f.combo->list() == list);
}

void ComboTest::hoverHighlightsTheRowUnderTheMouse()
{
    ComboFixture f(9, 0);
    f.combo->OpenList();
    LanguageDropDown* list = f.combo->list();
    QTest::mouseClick(list, Qt::LeftButton, {}, list->downArrowRect().center()); // first 1
    Move(list, list->RowRect(2).center());
    QCOMPARE(list->highlighted(), 3);
    QCOMPARE(list->cursor().shape(), Qt::PointingHandCursor);
    // Painted with the highlight fill and white text; the other rows on white.
    const QImage image = list->grab().toImage();
    QVERIFY(Near(image.pixelColor(list->RowRect(2).left() + 3, list->RowRect(2).center().y()), QColor(42, 169, 209)));
    QVERIFY(Near(image.pixelColor(list->RowRect(1).left() + 3, list->RowRect(1).center().y()), Qt::white));
    Move(list, list->upArrowRect().center()); // can scroll up: hand
    QCOMPARE(list->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(list, Qt::LeftButton, {}, list->upArrowRect().center());
    Move(list, list->upArrowRect().center() + QPoint(0, 1)); // at the top: arrow
    QCOMPARE(list->cursor().shape(), Qt::ArrowCursor);
}

void ComboTest::choosingReachesThePage()
{
    ComboFixture f(9, 0);
    f.combo->OpenList();
    LanguageDropDown* list = f.combo->list();
    QTest::mouseClick(list, Qt::LeftButton, {}, list->downArrowRect().center());
    QTest::mouseClick(list, Qt::LeftButton, {}, list->RowRect(4).center()); // item 1 + 4
    QCOMPARE(f.page.take(), (std::vector<RecordedMessage> { { WM_LANGUAGE_SELECTED, 5, 0 } }));
    QCOMPARE(f.combo->current(), 5);
    QVERIFY(f.combo->list() == nullptr);
    QTRY_VERIFY(f.page.findChild<LanguageDropDown*>() == nullptr); // destroyed, not only hidden
}

void ComboTest::clickOnTheComboReplacesTheList()
{
    ComboFixture f(6, 2);
    f.combo->OpenList();
    QPointer<LanguageDropDown> old = f.combo->list();
    // The list's layer takes every press; one on the combo opens a fresh list.
    QTest::mouseClick(f.layer(), Qt::LeftButton, {}, QPoint(60, 240));
    QVERIFY(f.combo->list() != nullptr);
    QVERIFY(f.combo->list() != old.data());
    QVERIFY(old.isNull() || !old->isVisible());
    QTRY_VERIFY(old.isNull());
    QCOMPARE(f.page.findChildren<LanguageDropDown*>().size(), 1);
    QCOMPARE(f.page.findChildren<InputLayer*>().size(), 1);
    QVERIFY(f.page.take().empty());
}

void ComboTest::dismissingPostsNoChoice()
{
    ComboFixture f(6, 2);
    f.combo->OpenList();
    QTest::mouseClick(f.layer(), Qt::LeftButton, {}, QPoint(380, 10)); // beside the list
    QCOMPARE(f.page.take(), (std::vector<RecordedMessage> { { WM_LANGUAGE_SELECTED, -1, 0 } }));
    QCOMPARE(f.combo->current(), 2);
    QVERIFY(f.combo->list() == nullptr);
}

void ComboTest::itemsAreCappedAt23()
{
    ComboFixture f(30, 0);
    QCOMPARE(f.combo->count(), 23);
    f.combo->SetCurrent(25); // out of range: ignored
    QCOMPARE(f.combo->current(), 0);
}

QTEST_MAIN(ComboTest)
#include "ui_combo_test.moc"
