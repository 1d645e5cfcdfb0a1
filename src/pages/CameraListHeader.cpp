#include "pages/CameraListHeader.h"

#include "ui/Drawing.h"
#include "ui/OwnerDrawnTable.h"

#include <QPainter>

CameraListHeader::CameraListHeader(QWidget* list)
    : QHeaderView(Qt::Horizontal, list)
{
    setObjectName(QStringLiteral("cameraListHeader"));
    SetUpFixedHeader(*this, kHeight);
}

void CameraListHeader::SetTitles(const QStringList& titles, int centredColumn)
{
    columnTitles = titles;
    centred = centredColumn;
    viewport()->update();
}

void CameraListHeader::SetImage(int pngId)
{
    bar = QImage();
    if (auto picture = LoadPngResource(pngId))
        bar = std::move(*picture);
    viewport()->update();
}

QFont CameraListHeader::TitleFont() const
{
    return HeaderTitleFont();
}

QSize CameraListHeader::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

void CameraListHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PrepareGraphics(painter);
    PaintHeaderBar(painter, *this, bar, columnTitles, 4, [this](int column) {
        return column == centred ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    });
}

// No resizing, no sorting.
void CameraListHeader::mousePressEvent(QMouseEvent*) { }
void CameraListHeader::mouseReleaseEvent(QMouseEvent*) { }
void CameraListHeader::mouseDoubleClickEvent(QMouseEvent*) { }
