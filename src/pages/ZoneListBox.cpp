#include "pages/ZoneListBox.h"

#include "ui/Drawing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

constexpr int kTextMargin = 12;
const QColor kText(0x63, 0x65, 0x66);
const QColor kSelectedFill(42, 169, 209);
const QColor kHoverFill(234, 246, 250);
const QColor kSeparator(238, 238, 238);

QFont RowFont()
{
    return MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), ZoneListBox::kFontSize, false);
}

// Rows as the toolkit's lists draw them: plain text, the chosen row blue with white text, thin separators.
class ZoneRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(0, ZoneListBox::kRowHeight);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        PrepareGraphics(*painter);
        const QRect row = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(row, kSelectedFill);
        else if (option.state & QStyle::State_MouseOver)
            painter->fillRect(row, kHoverFill);
        else
            painter->fillRect(QRect(row.left() + 5, row.bottom(), row.width() - 10, 1), kSeparator);
        const QRect textRect = row.adjusted(kTextMargin, 0, -kTextMargin, 0);
        painter->setFont(RowFont());
        painter->setPen(selected ? QColor(Qt::white) : kText);
        // drawText without Qt::TextShowMnemonic: "&" and markup stay as they are.
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            ZoneListBox::ElidedName(index.data(Qt::DisplayRole).toString(), textRect.width()));
        painter->restore();
    }
};

// "(GMT+01:00) Amsterdam, Berlin" -> "Amsterdam, Berlin"; a name without the offset stays whole.
QString PlacePart(const QString& name)
{
    if (!name.startsWith(QLatin1Char('(')))
        return name;
    const int close = name.indexOf(QLatin1Char(')'));
    return close < 0 ? name : name.mid(close + 1).trimmed();
}

// Whether a word of the place (after a blank, a comma, a slash or an opening parenthesis) starts with typed.
bool WordStartsWith(const QString& place, const QString& typed)
{
    for (int i = 0; i < place.size(); ++i) {
        const bool wordStart = i == 0 || QStringLiteral(" ,/(-").contains(place[i - 1]);
        if (wordStart && QStringView(place).mid(i).startsWith(typed, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

ZoneListBox::ZoneListBox(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("zoneList"));
    setItemDelegate(new ZoneRowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setStyleSheet(QStringLiteral(
        "QListWidget { background: white; border: 2px solid rgb(230, 230, 230); border-radius: 6px; outline: 0; }"
        "QScrollBar:vertical { width: 10px; background: transparent; margin: 4px 2px 4px 0; }"
        "QScrollBar::handle:vertical { background: rgb(196, 196, 196); border-radius: 4px; min-height: 30px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    verticalScrollBar()->setSingleStep(kRowHeight);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!quiet && row >= 0)
            emit zoneChosen(row);
    });
}

QString ZoneListBox::AccessibleRowText(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry != nullptr ? entry->text() : QString();
}

void ZoneListBox::AccessibleClickRow(int row)
{
    if (row < 0 || row >= count())
        return;
    setCurrentRow(row);
    scrollToItem(item(row));
}

QRect ZoneListBox::AccessibleRowRect(int row) const
{
    const QRect area = visualItemRect(item(row)).intersected(viewport()->rect());
    return area.isEmpty() ? area : area.translated(viewport()->pos());
}

void ZoneListBox::keyPressEvent(QKeyEvent* event)
{
    // Space closes the list, unless it goes on a place name being typed ("New York").
    const bool typing = typedClock.isValid() && typedClock.elapsed() <= QApplication::keyboardInputInterval();
    if (event->key() == Qt::Key_Space && !typing) {
        if (!event->isAutoRepeat())
            emit closeRequested();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ZoneListBox::SetZones(const QStringList& names, int row)
{
    quiet = true;
    clear(); // announces row -1
    addItems(names);
    if (row >= 0 && row < count())
        setCurrentRow(row);
    else
        setCurrentRow(-1);
    quiet = false;
    ScrollToSelected();
}

void ZoneListBox::ScrollToSelected()
{
    if (QListWidgetItem* selected = currentItem())
        scrollToItem(selected, QAbstractItemView::PositionAtCenter);
    else
        scrollToTop();
}

QString ZoneListBox::ElidedName(const QString& name, int width)
{
    return QFontMetrics(RowFont()).elidedText(name, Qt::ElideRight, width);
}

void ZoneListBox::focusInEvent(QFocusEvent* event)
{
    // The view makes its first row current when it gets the focus without one: that is not the user's choice.
    quiet = true;
    QListWidget::focusInEvent(event);
    quiet = false;
}

int ZoneListBox::findTyped(const QString& text, int from) const
{
    const int rows = count();
    // First a place that starts with the text, then any word of a place, then the whole name ("(GMT+03").
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < rows; ++i) {
            const int row = (from + i) % rows;
            const QString name = item(row)->text();
            const QString place = PlacePart(name);
            const bool match = pass == 0 ? place.startsWith(text, Qt::CaseInsensitive)
                : pass == 1              ? WordStartsWith(place, text)
                                         : name.startsWith(text, Qt::CaseInsensitive);
            if (match)
                return row;
        }
    }
    return -1;
}

void ZoneListBox::keyboardSearch(const QString& search)
{
    if (search.isEmpty() || count() == 0)
        return;
    if (!typedClock.isValid() || typedClock.elapsed() > QApplication::keyboardInputInterval())
        typed.clear();
    typedClock.restart();
    const int current = currentRow() < 0 ? 0 : currentRow();
    // The same letter again moves on to the next name with it; a longer text refines from the current row.
    const bool sameLetter = typed.size() == 1 && search.compare(typed, Qt::CaseInsensitive) == 0;
    int row = -1;
    if (sameLetter) {
        row = findTyped(typed, current + 1);
    } else {
        typed += search;
        row = findTyped(typed, current);
        if (row < 0 && typed.size() > 1) {
            typed = search; // no name goes on like that: start again with this letter
            row = findTyped(typed, current + 1);
        }
    }
    if (row < 0)
        return;
    setCurrentRow(row); // the user's choice: announced
    scrollToItem(item(row), QAbstractItemView::EnsureVisible);
}
