#include "pages/CNvrHeaderCtrl.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

constexpr int kHelpColumn = 7;
constexpr int kTitleSize = 13;

} // namespace

CNvrHeaderCtrl::CNvrHeaderCtrl(QWidget* list)
    : QHeaderView(Qt::Horizontal, list)
{
    setObjectName(QStringLiteral("nvrHeader"));
    if (auto picture = LoadPngResource(3052))
        bar = std::move(*picture);
    if (auto picture = LoadPngResource(4083))
        helpIcon = std::move(*picture);
    // The user cannot change the column widths, move or sort the columns.
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsMovable(false);
    setSectionsClickable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setMouseTracking(true);
    setFixedHeight(kHeight);
}

void CNvrHeaderCtrl::SetTitles(const QStringList& titles)
{
    columnTitles = titles;
    viewport()->update();
}

QSize CNvrHeaderCtrl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

QFont CNvrHeaderCtrl::TitleFont() const
{
    return MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kTitleSize, false);
}

QRect CNvrHeaderCtrl::HelpIconRect() const
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

void CNvrHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PrepareGraphics(painter);
    if (bar.isNull())
        painter.fillRect(viewport()->rect(), QColor(42, 169, 209));
    else
        painter.drawImage(QRectF(viewport()->rect()), bar);
    painter.setFont(TitleFont());
    painter.setPen(Qt::white);
    for (int column = 0; column < count(); ++column) {
        const QString title = columnTitles.value(column);
        if (title.isEmpty())
            continue;
        const QRect cell(sectionViewportPosition(column), 0, sectionSize(column), height());
        DrawTextBlock(painter, cell, Qt::AlignCenter | Qt::TextSingleLine, title);
    }
    const QRect icon = HelpIconRect();
    if (!icon.isEmpty() && !helpIcon.isNull())
        painter.drawImage(QRectF(icon), helpIcon);
}

void CNvrHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    // Nothing else of the header reacts: no resizing, no sorting.
    pressedOnIcon = event->button() == Qt::LeftButton && HelpIconRect().contains(event->position().toPoint());
}

void CNvrHeaderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (HelpIconRect().contains(event->position().toPoint()))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void CNvrHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    const bool onIcon = HelpIconRect().contains(event->position().toPoint());
    if (pressedOnIcon && onIcon && event->button() == Qt::LeftButton)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, 4);
    pressedOnIcon = false;
}

void CNvrHeaderCtrl::mouseDoubleClickEvent(QMouseEvent*) { }
