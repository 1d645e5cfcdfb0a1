#pragma once
// A spot over part of an owner-drawn control (a header's help icon) that the keyboard can reach: it takes Tab,
// draws the focus mark around that part, and Space does what a click there does. The mouse passes through it to
// the control beneath, which keeps its own clicks.

#include "ui/PressableControl.h"

#include <functional>

class FocusSpot : public PressableControl
{
    Q_OBJECT
public:
    explicit FocusSpot(QWidget* parent, std::function<void()> press);

    // Does what a click on the part does (Space, and assistive tools).
    void Press() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void()> pressed;
};
