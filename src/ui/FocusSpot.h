#pragma once
// A spot over part of an owner-drawn control (a header's help icon) that the keyboard can reach: it takes Tab,
// draws the focus mark around that part, and Space does what a click there does. The mouse passes through it to
// the control beneath, which keeps its own clicks.

#include <QWidget>
#include <functional>

class FocusSpot : public QWidget
{
    Q_OBJECT
public:
    explicit FocusSpot(QWidget* parent, std::function<void()> press);

    // Does what a click on the part does (Space, and assistive tools).
    void Press();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::function<void()> pressed;
};
