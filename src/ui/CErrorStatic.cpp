#include "ui/CErrorStatic.h"

CErrorStatic::CErrorStatic(QWidget* parent)
    : FlowingText(parent)
{
}

int CErrorStatic::BoxWidth(const FlowLayout& layout) const
{
    if (layout.lines != 1 || layout.words.empty())
        return width();
    const int textWidth = layout.words.back().rect.right() + 1 - layout.area.left();
    return extraLeft() + 2 * indent() + textWidth;
}
