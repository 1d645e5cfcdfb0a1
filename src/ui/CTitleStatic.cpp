#include "ui/CTitleStatic.h"

#include "ui/Drawing.h"

CTitleStatic::CTitleStatic(QWidget* parent)
    : TextStatic(parent)
{
    SetStyle();
}

void CTitleStatic::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 32, MakeRgb(42, 169, 209), false);
}

QFont CTitleStatic::DrawingFont() const
{
    return MakeFont(fontFamily(), fontSize(), false, false);
}

int CTitleStatic::Alignment() const
{
    return Qt::AlignLeft | Qt::AlignVCenter;
}
