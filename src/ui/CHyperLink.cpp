#include "ui/CHyperLink.h"

#include "ui/Drawing.h"

#include <QFontMetrics>

CHyperLink::CHyperLink(QWidget* parent)
    : TextStatic(parent)
{
    SetStyle();
    setCursor(Qt::PointingHandCursor);
}

void CHyperLink::SetStyle()
{
    setFontFields(ChooseFontFamily(QStringLiteral("Verdana")), 13, MakeRgb(42, 169, 209), false);
}

void CHyperLink::MakeLink()
{
    setLink(true);
    setCursor(Qt::PointingHandCursor);
    measuredRect = QFontMetrics(DrawingFont()).boundingRect(rect(), Alignment() | Qt::TextWordWrap, text());
}
