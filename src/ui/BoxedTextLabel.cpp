#include "ui/BoxedTextLabel.h"

#include "ui/Drawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

BoxedTextLabel::BoxedTextLabel(QWidget* parent)
    : OneLineText(parent)
{
    SetStyle();
}

void BoxedTextLabel::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 16, MakeRgb(42, 169, 209), false);
}

void BoxedTextLabel::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, colour, bold);
}

int BoxedTextLabel::TextWidth() const
{
    const QFontMetricsF metrics(DrawingFont());
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
}

void BoxedTextLabel::paintEvent(QPaintEvent*)
{
    // Qt paints into the window's backing store and shows it whole: no buffer of our own is needed.
    QPainter painter(this);
    PaintTexts(painter);
    if (hasFocus())
        PaintFocusMark(painter, QRectF(FocusRect()), 3);
}
