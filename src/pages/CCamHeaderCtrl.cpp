#include "pages/CCamHeaderCtrl.h"

#include "ui/Drawing.h"
#include "ui/OwnerDrawnTable.h"

#include <QPainter>

CCamHeaderCtrl::CCamHeaderCtrl(QWidget* list)
    : QHeaderView(Qt::Horizontal, list)
{
    setObjectName(QStringLiteral("camHeader"));
    SetUpFixedHeader(*this, kHeight);
}

void CCamHeaderCtrl::SetTitles(const QStringList& titles, int centredColumn)
{
    columnTitles = titles;
    centred = centredColumn;
    viewport()->update();
}

void CCamHeaderCtrl::SetImage(int pngId)
{
    bar = QImage();
    if (auto picture = LoadPngResource(pngId))
        bar = std::move(*picture);
    viewport()->update();
}

QFont CCamHeaderCtrl::TitleFont() const
{
    return HeaderTitleFont();
}

QSize CCamHeaderCtrl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

void CCamHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PrepareGraphics(painter);
    PaintHeaderBar(painter, *this, bar, columnTitles, 4, [this](int column) {
        return column == centred ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    });
}

// No resizing, no sorting.
void CCamHeaderCtrl::mousePressEvent(QMouseEvent*) { }
void CCamHeaderCtrl::mouseReleaseEvent(QMouseEvent*) { }
void CCamHeaderCtrl::mouseDoubleClickEvent(QMouseEvent*) { }
