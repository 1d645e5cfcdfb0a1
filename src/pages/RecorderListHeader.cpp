#include "pages/RecorderListHeader.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/OwnerDrawnTable.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

constexpr int kHelpColumn = 7;

} // namespace

RecorderListHeader::RecorderListHeader(QWidget* list)
    : QHeaderView(Qt::Horizontal, list)
{
    setObjectName(QStringLiteral("recorderListHeader"));
    if (auto picture = LoadPngResource(3052))
        bar = std::move(*picture);
    if (auto picture = LoadPngResource(4083))
        helpIcon = std::move(*picture);
    // The user cannot change the column widths, move or sort the columns.
    SetUpFixedHeader(*this, kHeight);
    // Qt's default minimum section size (from the style, 26 px here) would widen the 25 and 20 px columns.
    setMinimumSectionSize(1);
    setMouseTracking(true);
}

void RecorderListHeader::SetTitles(const QStringList& titles)
{
    columnTitles = titles;
    viewport()->update();
}

QSize RecorderListHeader::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

QFont RecorderListHeader::TitleFont() const
{
    return HeaderTitleFont();
}

QRect RecorderListHeader::HelpIconRect() const
{
    if (count() <= kHelpColumn)
        return QRect();
    const QString title = columnTitles.value(kHelpColumn);
    const int titleWidth
        = static_cast<int>(std::ceil(MeasureTextBlock(TitleFont(), title, Qt::TextSingleLine, 0).width()));
    const int left = sectionViewportPosition(kHelpColumn);
    const int width = sectionSize(kHelpColumn);
    const int titleRight = left + (width + titleWidth) / 2;
    const int side = height() - 10;
    return QRect(titleRight + 2, 5, side, side);
}

void RecorderListHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PrepareGraphics(painter);
    PaintHeaderBar(painter, *this, bar, columnTitles, 0, [](int) { return int(Qt::AlignCenter); });
    const QRect icon = HelpIconRect();
    if (!icon.isEmpty() && !helpIcon.isNull())
        painter.drawImage(QRectF(icon), helpIcon);
}

void RecorderListHeader::mousePressEvent(QMouseEvent* event)
{
    // Nothing else of the header reacts: no resizing, no sorting.
    pressedOnIcon = event->button() == Qt::LeftButton && HelpIconRect().contains(event->position().toPoint());
}

void RecorderListHeader::mouseMoveEvent(QMouseEvent* event)
{
    if (HelpIconRect().contains(event->position().toPoint()))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void RecorderListHeader::mouseReleaseEvent(QMouseEvent* event)
{
    const bool onIcon = HelpIconRect().contains(event->position().toPoint());
    if (pressedOnIcon && onIcon && event->button() == Qt::LeftButton)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, 4);
    pressedOnIcon = false;
}

void RecorderListHeader::mouseDoubleClickEvent(QMouseEvent*) { }
