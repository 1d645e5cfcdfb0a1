#include "ui/COrselStatic2.h"

#include "ui/Drawing.h"
#include "ui/MemDC2.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

COrselStatic2::COrselStatic2(QWidget* parent)
    : TextStatic(parent)
{
    SetStyle();
}

void COrselStatic2::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 16, MakeRgb(42, 169, 209), false);
}

void COrselStatic2::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, colour, bold);
}

int COrselStatic2::TextWidth() const
{
    const QFontMetricsF metrics(DrawingFont());
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
}

void COrselStatic2::paintEvent(QPaintEvent*)
{
    QPainter target(this);
    MemDC2 buffer(target, rect());
    PaintTexts(buffer.painter());
    if (hasFocus())
        PaintFocusMark(buffer.painter(), QRectF(FocusRect()), 3);
}
