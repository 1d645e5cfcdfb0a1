#include "ui/COrselStatic.h"

#include "ui/Drawing.h"

#include <QFontMetricsF>
#include <cmath>

COrselStatic::COrselStatic(QWidget* parent)
    : TextStatic(parent)
{
}

void COrselStatic::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, colour, bold);
}

void COrselStatic::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Tahoma")), 14, MakeRgb(0, 0, 0), true);
}

void COrselStatic::SetTitleStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 32, colour(), bold());
}

void COrselStatic::setCentre(bool on)
{
    centreOn = on;
    update();
}

int COrselStatic::TextWidth() const
{
    const QFontMetricsF metrics(MakeFont(fontFamily(), fontSize(), false));
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text() + QStringLiteral("..."))));
}

int COrselStatic::Alignment() const
{
    if (centreOn)
        return Qt::AlignHCenter;
    return TextStatic::Alignment();
}
