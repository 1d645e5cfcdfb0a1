#include "ui/FocusSpot.h"

#include "ui/Drawing.h"

#include <QKeyEvent>
#include <QPainter>

FocusSpot::FocusSpot(QWidget* parent, std::function<void()> press)
    : PressableControl(parent)
    , pressed(std::move(press))
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void FocusSpot::Press()
{
    if (isEnabled() && pressed)
        pressed();
}

void FocusSpot::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    PaintFocusMark(painter, QRectF(rect()), 4);
}
