#include "pages/CameraList.h"

#include "i18n/Localization.h"
#include "pages/CameraListHeader.h"
#include "ui/SlimScrollBar.h"
#include "ui/DeviceText.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/OwnerDrawnTable.h"
#include "ui/PressableControl.h"
#include "ui/WindowMessage.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kColumnWidths[CameraList::kColumnCount] = { 86, 32, 32, 46, 47, 149, 26, 72, 176 };
constexpr int kCellIndent = 4;
constexpr Argb kBlack = 0xFF000000u;
constexpr Argb kGrey = 0xFF7F7F7Fu;
constexpr int kCheckedPng = 4010;
constexpr int kUncheckedPng = 4009;
constexpr int kIconPng = 4011;

// Where a row's check box and camera icon lie in their cells (cell: the cell less its indent).
QRect BoxPlace(const QRect& cell, const CamRowData& data)
{
    return QRect(cell.right() + 1 + data.boxDx - data.boxWidth,
        cell.top() + (cell.height() + data.boxDy - data.boxHeight) / 2, data.boxWidth, data.boxHeight);
}

QRect IconPlace(const QRect& cell, const CamRowData& data)
{
    return QRect(cell.right() + 1 + data.iconDx - data.iconWidth,
        cell.top() + (cell.height() + data.iconDy - data.iconHeight) / 2, data.iconWidth, data.iconHeight);
}

// Paints every cell: white with the text (grey on unchecked rows while four are checked), the check box in
// column 1, the camera icon in column 6 of verified rows, nothing in column 0.
class CameraCellDelegate : public QStyledItemDelegate
{
public:
    explicit CameraCellDelegate(CameraList* list)
        : QStyledItemDelegate(list)
        , owner(list)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const CamRowData* data = owner->RowData(index.row());
        if (data == nullptr)
            return;
        painter->save();
        PrepareGraphics(*painter);
        const QRect cell = option.rect.adjusted(kCellIndent, 0, 0, 0);
        const int column = index.column();
        if (column == CameraList::kCheckColumn) {
            painter->fillRect(option.rect, Qt::white);
            const QImage& picture = owner->Picture(data->checked == 1 ? data->checkedImage : data->uncheckedImage);
            if (!picture.isNull())
                painter->drawImage(QRectF(BoxPlace(cell, *data)), picture);
        } else if (column == CameraList::kIconColumn) {
            painter->fillRect(option.rect, Qt::white);
            const QImage& picture = owner->Picture(data->iconImage);
            if (data->verified == 1 && !picture.isNull())
                painter->drawImage(QRectF(IconPlace(cell, *data)), picture);
        } else if (column != 0) {
            painter->fillRect(option.rect, Qt::white);
            const bool grey = data->checked != 1 && owner->CheckedCount() >= CameraList::kMaxChecked;
            const QFont font = owner->TextFont();
            painter->setFont(font);
            painter->setPen(ColorFromArgb(grey ? kGrey : kBlack));
            const QString text
                = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, cell.width());
            const int align
                = column == CameraList::kNumberColumn ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
            DrawTextBlock(*painter, cell, align | Qt::TextSingleLine, text);
        } else {
            painter->fillRect(option.rect, Qt::white);
        }
        painter->restore();
    }

private:
    CameraList* owner;
};

} // namespace

CameraList::CameraList(QWidget* page)
    : QTableWidget(0, kColumnCount, page)
{
    setObjectName(QStringLiteral("cameraList"));
    if (auto picture = LoadPngResource(kCheckedPng))
        checkedPicture = std::move(*picture);
    if (auto picture = LoadPngResource(kUncheckedPng))
        uncheckedPicture = std::move(*picture);
    if (auto picture = LoadPngResource(kIconPng))
        iconPicture = std::move(*picture);

    header = new CameraListHeader(this);
    SetUpOwnerDrawnTable(*this, header, new CameraCellDelegate(this), kRowHeight, kColumnWidths);
}

void CameraList::SetTitles(const QString& modelTitle, const QString& ipTitle)
{
    QStringList titles;
    for (int column = 0; column < kColumnCount; ++column)
        titles << QString();
    titles[kNumberColumn] = QStringLiteral(" No.");
    titles[kModelColumn] = QStringLiteral(" ") + modelTitle;
    titles[kIpColumn] = QStringLiteral("  ") + ipTitle;
    header->SetTitles(titles, kNumberColumn);
}

void CameraList::SetHeaderImage(int pngId)
{
    header->SetImage(pngId);
}

void CameraList::SetScrollBar(SlimScrollBar* bar)
{
    scrollBar = bar;
    if (scrollBar != nullptr)
        scrollBar->Attach(this);
    refreshScrollBar();
}

void CameraList::refreshScrollBar()
{
    if (scrollBar != nullptr) {
        scrollBar->FitThumb();
        scrollBar->Update();
    }
}

int CameraList::AppendRow(const QString& number)
{
    const int row = rowCount();
    if (row >= kMaxRows)
        return -1;
    insertRow(row);
    setRowHeight(row, kRowHeight);
    for (int column = 0; column < kColumnCount; ++column) {
        auto* cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled);
        setItem(row, column, cell);
    }
    item(row, 0)->setText(number);
    CamRowData data;
    data.checkedImage = kCheckedPng;
    data.uncheckedImage = kUncheckedPng;
    data.iconImage = kIconPng;
    data.boxWidth = 30;
    data.boxHeight = 25;
    data.iconWidth = 20;
    data.iconHeight = 15;
    rows.push_back(data);
    refreshScrollBar();
    return row;
}

bool CameraList::SetCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = row >= 0 && column >= 0 && column < kColumnCount ? item(row, column) : nullptr;
    if (cell == nullptr)
        return false;
    // Every cell but the number holds what a camera sent.
    const QString shown = column == 0 ? text : ShownDeviceText(text);
    cell->setText(shown);
    if (column == kModelColumn) {
        // A name cut short shows whole on hover.
        const int room = columnWidth(column) - kCellIndent;
        cell->setToolTip(QFontMetrics(TextFont()).horizontalAdvance(shown) > room ? PlainToolTip(shown) : QString());
    }
    refreshScrollBar();
    return true;
}

QString CameraList::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

void CameraList::DeleteAllRows()
{
    setRowCount(0);
    rows.clear();
    ++listGeneration;
    requestPending = false;
    refreshScrollBar();
    emit CheckedCountChanged(0);
}

CamRowData* CameraList::RowData(int row)
{
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)] : nullptr;
}

const CamRowData* CameraList::RowData(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)] : nullptr;
}

bool CameraList::CheckRow(int row)
{
    CamRowData* data = RowData(row);
    if (data == nullptr || data->checked == 1 || CheckedCount() >= kMaxChecked)
        return false;
    data->checked = 1;
    // The fourth check greys the other rows.
    if (CheckedCount() >= kMaxChecked)
        viewport()->update();
    else
        repaintRow(row);
    emit CheckedCountChanged(CheckedCount());
    return true;
}

void CameraList::UncheckRow(int row)
{
    CamRowData* data = RowData(row);
    if (data == nullptr || data->checked != 1)
        return;
    const bool wasFull = CheckedCount() >= kMaxChecked;
    data->checked = 0;
    if (wasFull)
        viewport()->update(); // the grey rows turn black again
    else
        repaintRow(row);
    emit CheckedCountChanged(CheckedCount());
}

bool CameraList::IsChecked(int row) const
{
    const CamRowData* data = RowData(row);
    return data != nullptr && data->checked == 1;
}

void CameraList::SetVerified(int row, bool verified)
{
    if (CamRowData* data = RowData(row)) {
        data->verified = verified ? 1 : 0;
        repaintRow(row);
    }
}

bool CameraList::IsVerified(int row) const
{
    const CamRowData* data = RowData(row);
    return data != nullptr && data->verified == 1;
}

int CameraList::CheckedCount() const
{
    int count = 0;
    for (const CamRowData& data : rows)
        count += data.checked == 1 ? 1 : 0;
    return count;
}

void CameraList::CheckRequestHandled()
{
    requestPending = false;
}

QRect CameraList::CheckCellRect(int row) const
{
    return visualRect(model()->index(row, kCheckColumn));
}

QRect CameraList::IconCellRect(int row) const
{
    return visualRect(model()->index(row, kIconColumn));
}

const QImage& CameraList::Picture(int resourceId) const
{
    switch (resourceId) {
    case kCheckedPng:
        return checkedPicture;
    case kUncheckedPng:
        return uncheckedPicture;
    case kIconPng:
        return iconPicture;
    default:
        return noPicture;
    }
}

QFont CameraList::TextFont() const
{
    return MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kTextSize, false);
}

void CameraList::repaintRow(int row)
{
    const QRect first = visualRect(model()->index(row, 0));
    viewport()->update(QRect(0, first.top(), viewport()->width(), first.height()).adjusted(-2, -2, 2, 2));
}

void CameraList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    const int row = index.row();
    if (index.column() == kCheckColumn)
        ClickCheck(row);
    else if (index.column() == kIconColumn)
        ClickIcon(row);
}

void CameraList::ClickCheck(int row)
{
    if (RowData(row) == nullptr)
        return;
    if (IsChecked(row)) {
        UncheckRow(row);
    } else if (!requestPending) {
        // Asked, not decided here: the page may open an overlay, which must not run inside this handler.
        requestPending = true;
        PostWindowMessage(
            parentWidget(), WM_CAMERA_CHECK_REQUEST, row, static_cast<intptr_t>(listGeneration & 0x7FFFFFFF));
    }
}

void CameraList::ClickIcon(int row)
{
    if (RowData(row) == nullptr)
        return;
    const QRect cell = visualRect(model()->index(row, kIconColumn));
    const QPoint tip(cell.right() + 1 - 5, cell.top() + cell.height() / 2 + 2);
    anchor = viewport()->mapTo(parentWidget(), tip);
    if (IsVerified(row))
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, 8, row);
}

QString CameraList::AccessibleRowText(int row) const
{
    return RowTextOf(*this, row);
}

bool CameraList::AccessibleRowCheckEnabled(int row) const
{
    return IsChecked(row) || CheckedCount() < kMaxChecked;
}

QString CameraList::AccessibleRowButton(int row) const
{
    if (!IsVerified(row))
        return QString();
    return QString::fromStdString(Text("a11y_preview", "Live preview"));
}

QRect CameraList::AccessibleRowRect(int row) const
{
    return SeenInView(*this, RowRectOf(*this, row));
}

QRect CameraList::AccessibleCheckRect(int row) const
{
    return SeenInView(*this, CheckCellRect(row));
}

bool CameraList::AccessibleButtonCurrent() const
{
    return currentIndex().column() == kIconColumn && IsVerified(currentIndex().row());
}

void CameraList::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    PaintRowFocusMark(*this);
    // Inside the row's mark, the part Space acts on: the check box, or the camera icon.
    const int row = currentIndex().row();
    const CamRowData* data = RowData(row);
    if (!hasFocus() || data == nullptr)
        return;
    const bool icon = AccessibleButtonCurrent();
    const QRect cell = (icon ? IconCellRect(row) : CheckCellRect(row)).adjusted(kCellIndent, 0, 0, 0);
    const QRect part = icon ? IconPlace(cell, *data) : BoxPlace(cell, *data);
    if (part.isEmpty())
        return;
    QPainter painter(viewport());
    PaintFocusMark(painter, QRectF(part.adjusted(-4, -4, 4, 4)), 4);
}

QModelIndex CameraList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The keyboard moves between rows, and within a row between the check box and the camera icon (where the row
    // has one); the other cells take no keys.
    const QModelIndex current = currentIndex();
    if (rowCount() == 0)
        return QModelIndex();
    int row = current.isValid() ? current.row() : 0;
    int column = current.column() == kIconColumn ? kIconColumn : kCheckColumn;
    switch (action) {
    case MoveLeft:
        column = kCheckColumn;
        break;
    case MoveRight:
        if (IsVerified(row))
            column = kIconColumn;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rowCount() - 1;
        break;
    default:
        if (const QModelIndex moved = QTableWidget::moveCursor(action, modifiers); moved.isValid())
            row = moved.row();
        break;
    }
    if (column == kIconColumn && !IsVerified(row))
        column = kCheckColumn;
    return model()->index(row, column);
}

void CameraList::focusInEvent(QFocusEvent* event)
{
    const bool placed = currentIndex().isValid();
    QTableWidget::focusInEvent(event);
    if (!placed && rowCount() > 0)
        setCurrentCell(0, kCheckColumn);
    viewport()->update();
}

void CameraList::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

void CameraList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableWidget::currentChanged(current, previous);
    viewport()->update();
}

void CameraList::mouseReleaseEvent(QMouseEvent*) { }

void CameraList::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.column() == kIconColumn && IsVerified(index.row()))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void CameraList::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CameraList::keyPressEvent(QKeyEvent* event)
{
    // Space on the current row does what a click on its marked part does: the check box, or the camera icon.
    const auto press = [this] {
        if (AccessibleButtonCurrent())
            ClickIcon(currentIndex().row());
        else
            ClickCheck(currentIndex().row());
    };
    if (PressOnSpace(event, press))
        return;
    QTableWidget::keyPressEvent(event);
    refreshScrollBar();
}

void CameraList::wheelEvent(QWheelEvent* event)
{
    QTableWidget::wheelEvent(event);
    refreshScrollBar();
}
