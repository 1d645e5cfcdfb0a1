#include "ui/SmallLink.h"

#include "ui/Drawing.h"

#include <QFontMetrics>

SmallLink::SmallLink(QWidget* parent)
    : OneLineText(parent)
{
    SetStyle();
    setCursor(Qt::PointingHandCursor);
}

void SmallLink::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 13, MakeRgb(42, 169, 209), false);
}

void SmallLink::MakeLink()
{
    setLink(true);
    setCursor(Qt::PointingHandCursor);
    measuredRect = QFontMetrics(DrawingFont()).boundingRect(rect(), Alignment() | Qt::TextWordWrap, text());
}
