#include "ui/ErrorLine.h"

ErrorLine::ErrorLine(QWidget* parent)
    : FlowingText(parent)
{
}

int ErrorLine::BoxWidth(const FlowLayout& layout) const
{
    if (layout.lines != 1 || layout.words.empty())
        return width();
    const int textWidth = layout.words.back().rect.right() + 1 - layout.area.left();
    return extraLeft() + 2 * indent() + textWidth;
}
