#include "ui/PageTitle.h"

#include "ui/Drawing.h"

PageTitle::PageTitle(QWidget* parent)
    : OneLineText(parent)
{
    SetStyle();
}

void PageTitle::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 32, MakeRgb(42, 169, 209), false);
}

QFont PageTitle::DrawingFont() const
{
    return MakeFont(fontFamily(), fontSize(), false, false);
}

int PageTitle::Alignment() const
{
    return Qt::AlignLeft | Qt::AlignVCenter;
}
