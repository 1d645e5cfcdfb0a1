#include "pages/RecorderList.h"

#include "pages/RecorderListHeader.h"
#include "ui/AccessibleControls.h"
#include "ui/SlimScrollBar.h"
#include "ui/Drawing.h"
#include "ui/FocusSpot.h"
#include "ui/Messages.h"
#include "ui/OwnerDrawnTable.h"
#include "ui/PressableControl.h"
#include "ui/WindowMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kColumnWidths[RecorderList::kColumnCount] = { 60, 40, 25, 40, 30, 200, 20, 210 };
constexpr int kRadioSide = 25;
constexpr int kMarkSide = 20;
constexpr int kTextSize = 17;
constexpr Argb kTextColour = 0xFF606060u;
constexpr int kCheckedRole = RecorderListModel::kCheckedRole;
constexpr int kMarkedRole = RecorderListModel::kMarkedRole;

// Paints every cell of the list: white, the radio picture in column 1, the warning mark in column 4, the text
// elsewhere (left-aligned with a small indent, larger for the address).
class RecorderCellDelegate : public QStyledItemDelegate
{
public:
    explicit RecorderCellDelegate(RecorderList* list)
        : QStyledItemDelegate(list)
        , owner(list)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        PrepareGraphics(*painter);
        const QRect cell = option.rect;
        painter->fillRect(cell, Qt::white);
        const int column = index.column();
        if (column == RecorderList::kRadioColumn) {
            const bool checked = index.data(kCheckedRole).toBool();
            const QImage& picture = checked ? owner->checkedImage() : owner->uncheckedImage();
            if (!picture.isNull())
                painter->drawImage(QRectF(cell.x() + (cell.width() - kRadioSide) / 2,
                                       cell.y() + (cell.height() - kRadioSide) / 2, kRadioSide, kRadioSide),
                    picture);
        } else if (column == RecorderList::kMarkColumn) {
            if (index.data(kMarkedRole).toBool() && !owner->markImage().isNull())
                painter->drawImage(QRectF(cell.x() + (cell.width() - kMarkSide) / 2,
                                       cell.y() + (cell.height() - kMarkSide) / 2, kMarkSide, kMarkSide),
                    owner->markImage());
        } else {
            const QString text = index.data(Qt::DisplayRole).toString();
            if (!text.isEmpty()) {
                const int indent = column == RecorderList::kIpColumn ? 16 : 4;
                painter->setFont(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kTextSize, false));
                painter->setPen(ColorFromArgb(kTextColour));
                DrawTextBlock(*painter, cell.adjusted(indent, 0, 0, 0),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            }
        }
        painter->restore();
    }

private:
    RecorderList* owner;
};

} // namespace

RecorderList::RecorderList(QWidget* page)
    : QTableView(page)
    , rows(new RecorderListModel(this))
{
    setModel(rows);
    setObjectName(QStringLiteral("recorderList"));
    if (auto picture = LoadPngResource(4013))
        checkedPicture = std::move(*picture);
    if (auto picture = LoadPngResource(4082))
        uncheckedPicture = std::move(*picture);
    if (auto picture = LoadPngResource(3064))
        markPicture = std::move(*picture);

    header = new RecorderListHeader(this);
    SetUpOwnerDrawnTable(*this, header, new RecorderCellDelegate(this), kRowHeight, kColumnWidths);

    // The keyboard reaches the header's help icon through a spot over it, a stop of its own before the rows.
    if (page != nullptr) {
        helpSpot = new FocusSpot(page, [list = QPointer<RecorderList>(this)] {
            if (list)
                PostWindowMessage(list, WM_OPEN_OVERLAY, 4);
        });
        helpSpot->setObjectName(QStringLiteral("macHelp"));
        SetAccessibleText(helpSpot, "a11y_mac_help", "Where to find the MAC address");
        helpSpot->hide();
    }
}

void RecorderList::placeHelpSpot()
{
    if (helpSpot == nullptr)
        return;
    const QRect icon = header->HelpIconRect();
    if (icon.isEmpty() || !isVisibleTo(parentWidget())) {
        helpSpot->hide();
        return;
    }
    const QPoint origin = header->viewport()->mapTo(parentWidget(), icon.topLeft());
    helpSpot->setGeometry(QRect(origin, icon.size()).adjusted(-3, -3, 3, 3));
    helpSpot->raise();
    helpSpot->show();
}

void RecorderList::SetTitles(const QString& ipTitle, const QString& macTitle)
{
    QStringList titles;
    for (int column = 0; column < kColumnCount; ++column)
        titles << QString();
    titles[kNumberColumn] = QStringLiteral("No.");
    titles[kIpColumn] = ipTitle;
    titles[kMacColumn] = macTitle;
    header->SetTitles(titles);
    placeHelpSpot();
}

int RecorderList::AppendRow(const FoundRecorder& found)
{
    const int row = rows->Append(found);
    refreshScrollBar();
    return row;
}

void RecorderList::DeleteAllRows()
{
    rows->Clear();
    refreshScrollBar();
}

QString RecorderList::CellText(int row, int column) const
{
    return rows->index(row, column).data(Qt::DisplayRole).toString();
}

void RecorderList::SetChecked(int row)
{
    rows->SetChecked(row);
}

bool RecorderList::IsChecked(int row) const
{
    return row >= 0 && rows->CheckedRow() == row;
}

int RecorderList::CheckedRow() const
{
    return rows->CheckedRow();
}

void RecorderList::SetMarked(int row, bool on)
{
    rows->SetMarked(row, on);
}

bool RecorderList::IsMarked(int row) const
{
    return rows->IsMarked(row);
}

void RecorderList::SetRowToolTip(int row, const QString& text)
{
    rows->SetToolTip(row, text);
}

QString RecorderList::RowToolTip(int row) const
{
    return rows->ToolTip(row);
}

QRect RecorderList::RadioCellRect(int row) const
{
    return visualRect(rows->index(row, kRadioColumn));
}

void RecorderList::SetScrollBar(SlimScrollBar* bar)
{
    scrollBar = bar;
    if (scrollBar != nullptr)
        scrollBar->Attach(this);
    refreshScrollBar();
}

void RecorderList::refreshScrollBar()
{
    if (scrollBar != nullptr) {
        scrollBar->FitThumb();
        scrollBar->Update();
    }
}

bool RecorderList::event(QEvent* event)
{
    // The header's help icon asks for the MAC label: the page opens it.
    if (const WindowMessage* message = AsWindowMessage(event)) {
        if (message->message() == WM_OPEN_OVERLAY)
            PostWindowMessage(parentWidget(), message->message(), message->wParam(), message->lParam());
        return true;
    }
    const bool handled = QTableView::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::LayoutRequest:
        placeHelpSpot();
        break;
    default:
        break;
    }
    return handled;
}

void RecorderList::ClickRadio(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    SetChecked(row);
    PostWindowMessage(parentWidget(), WM_ROW_SELECTED);
}

QString RecorderList::AccessibleRowText(int row) const
{
    return RowTextOf(*this, row);
}

QRect RecorderList::AccessibleRowRect(int row) const
{
    return SeenInView(*this, RowRectOf(*this, row));
}

QRect RecorderList::AccessibleCheckRect(int row) const
{
    return SeenInView(*this, RadioCellRect(row));
}

void RecorderList::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    PaintRowFocusMark(*this);
}

void RecorderList::focusInEvent(QFocusEvent* event)
{
    const bool placed = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!placed && rowCount() > 0)
        setCurrentIndex(rows->index(std::max(0, CheckedRow()), kRadioColumn)); // the keyboard starts at the chosen recorder
    viewport()->update();
}

void RecorderList::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void RecorderList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    viewport()->update();
}

void RecorderList::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == kRadioColumn) {
        ClickRadio(index.row());
        return;
    }
    // Elsewhere in a row a click selects nothing.
}

void RecorderList::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.column() == kRadioColumn)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void RecorderList::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void RecorderList::keyPressEvent(QKeyEvent* event)
{
    // Space on the current row does what a click on its radio cell does.
    if (PressOnSpace(event, [this] { ClickRadio(currentIndex().row()); }))
        return;
    QTableView::keyPressEvent(event);
    refreshScrollBar();
}

void RecorderList::keyReleaseEvent(QKeyEvent* event)
{
    QTableView::keyReleaseEvent(event);
    refreshScrollBar();
}

void RecorderList::wheelEvent(QWheelEvent* event)
{
    QTableView::wheelEvent(event);
    refreshScrollBar();
}
