#include "ui/LanguageDropDown.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

LanguageDropDown::LanguageDropDown(QWidget* ownerCombo, QWidget* parent, std::vector<ComboItem> items, int visibleRows,
    int first, int highlighted, const QString& fontFamily, int fontSize)
    : QWidget(parent)
    , owner(ownerCombo)
    , entries(std::move(items))
    , rows(std::max(1, visibleRows))
    , firstRow(std::max(0, first))
    , highlightedRow(highlighted)
    , family(fontFamily)
    , fontPixels(fontSize)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

bool LanguageDropDown::focusNextPrevChild(bool)
{
    return true;
}

void LanguageDropDown::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int moved = std::clamp(highlightedRow + (key == Qt::Key_Up ? -1 : 1), 0, std::max(0, count() - 1));
        highlightedRow = moved;
        if (highlightedRow < firstRow)
            firstRow = highlightedRow;
        else if (highlightedRow >= firstRow + rows)
            firstRow = highlightedRow - rows + 1;
        update();
        // A screen reader says the item the keys moved to.
        QAccessibleEvent focusMoved(this, QAccessible::Focus);
        focusMoved.setChild(highlightedRow);
        QAccessible::updateAccessibility(&focusMoved);
    } else if (key == Qt::Key_Space) {
        if (!event->isAutoRepeat() && highlightedRow >= 0 && highlightedRow < count())
            PostWindowMessage(owner, WM_LANGUAGE_SELECTED, highlightedRow, 0);
    } else if (key == Qt::Key_Escape) {
        PostWindowMessage(owner, WM_LANGUAGE_SELECTED, -1, 0);
    }
    event->accept(); // nothing reaches the page while the list is open
}

QString LanguageDropDown::AccessibleRowText(int row) const
{
    return row >= 0 && row < count() ? entries[static_cast<size_t>(row)].text : QString();
}

void LanguageDropDown::AccessibleClickRow(int row)
{
    if (row >= 0 && row < count())
        PostWindowMessage(owner, WM_LANGUAGE_SELECTED, row, 0);
}

QRect LanguageDropDown::AccessibleRowRect(int row) const
{
    return RowRect(row - firstRow).intersected(rect());
}

QRect LanguageDropDown::upArrowRect() const
{
    return QRect((width() - 20) / 2, 0, 20, 20);
}

QRect LanguageDropDown::downArrowRect() const
{
    return QRect((width() - 20) / 2, height() - 20, 20, 20);
}

int LanguageDropDown::ShownRows() const
{
    return std::max(0, std::min(rows, count() - firstRow));
}

QRect LanguageDropDown::RowRect(int r) const
{
    const int index = firstRow + r;
    if (index < 0 || index >= count())
        return QRect();
    const QRect itemRect = entries[static_cast<size_t>(index)].rect;
    return itemRect.translated(0, -firstRow * itemRect.height());
}

int LanguageDropDown::RowAt(QPoint position) const
{
    for (int r = 0; r < ShownRows(); ++r) {
        if (RowRect(r).contains(position))
            return r;
    }
    return -1;
}

void LanguageDropDown::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(QColor(230, 230, 230), 2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);

    const int shown = ShownRows();
    const int highlightedShown = std::clamp(highlightedRow, firstRow, firstRow + rows - 1);
    painter.setFont(MakeFont(family, fontPixels, false));
    for (int r = 0; r < shown; ++r) {
        const int index = firstRow + r;
        const QRect row = RowRect(r);
        const QString& text = entries[static_cast<size_t>(index)].text;
        if (index == highlightedShown) {
            painter.fillRect(row.adjusted(2, 0, -2, 0), ColorFromRgb(highlightFill)); // inside the frame
            painter.setPen(ColorFromRgb(highlightText));
        } else {
            painter.setPen(ColorFromRgb(textRgb));
        }
        DrawTextBlock(painter, row, Qt::AlignCenter | Qt::TextSingleLine, text);
        if (index != highlightedShown && r != shown - 1) {
            painter.setPen(QPen(QColor(238, 238, 238), 1));
            painter.drawLine(QPointF(row.left() + 5, row.bottom() + 0.5), QPointF(row.right() - 5, row.bottom() + 0.5));
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(68, 202, 220), 1));
    DrawComboArrow(painter, upArrowRect(), true);
    DrawComboArrow(painter, downArrowRect(), false);
}

void LanguageDropDown::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (upArrowRect().contains(p)) {
            if (firstRow > 0) {
                --firstRow;
                update();
            }
        } else if (downArrowRect().contains(p)) {
            if (firstRow + rows < count()) {
                ++firstRow;
                update();
            }
        } else if (const int r = RowAt(p); r >= 0) {
            PostWindowMessage(owner, WM_LANGUAGE_SELECTED, firstRow + r, 0);
        }
    }
    event->accept();
}

void LanguageDropDown::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (const int r = RowAt(p); r >= 0) {
        shape = Qt::PointingHandCursor;
        if (highlightedRow != firstRow + r) {
            highlightedRow = firstRow + r;
            update();
        }
    } else if ((upArrowRect().contains(p) && firstRow > 0)
        || (downArrowRect().contains(p) && firstRow + rows < count())) {
        shape = Qt::PointingHandCursor;
    }
    setCursor(shape);
    event->accept();
}
