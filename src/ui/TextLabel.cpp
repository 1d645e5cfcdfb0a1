#include "ui/TextLabel.h"

#include "ui/Drawing.h"

#include <QFontMetricsF>
#include <cmath>

TextLabel::TextLabel(QWidget* parent)
    : OneLineText(parent)
{
}

void TextLabel::SetFont(int pixelSize, Rgb colour, bool bold)
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, colour, bold);
}

void TextLabel::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Tahoma")), 14, MakeRgb(0, 0, 0), true);
}

void TextLabel::SetTitleStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 32, colour(), bold());
}

void TextLabel::setCentre(bool on)
{
    centreOn = on;
    update();
}

int TextLabel::TextWidth() const
{
    const QFontMetricsF metrics(MakeFont(fontFamily(), fontSize(), false));
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text() + QStringLiteral("..."))));
}

int TextLabel::Alignment() const
{
    if (centreOn)
        return Qt::AlignHCenter;
    return OneLineText::Alignment();
}
