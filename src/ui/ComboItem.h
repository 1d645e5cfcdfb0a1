#pragma once
// One choice of the language combo: its text and its rectangle in the drop-down list.

#include <QRect>
#include <QString>

class QPainter;

struct ComboItem
{
    QString text;
    QRect rect;
};

// The combo's small arrow: five 1-pixel lines, 9 pixels at the base, centred in area.
void DrawComboArrow(QPainter& painter, const QRect& area, bool up);
