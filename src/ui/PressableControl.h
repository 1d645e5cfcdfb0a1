#pragma once
// A control the keyboard presses like a click: Space does what Press does (held down, once), and the control
// repaints as it takes or loses the focus, so its focus mark follows.

#include <QWidget>

class PressableControl : public QWidget
{
    Q_OBJECT
public:
    explicit PressableControl(QWidget* parent = nullptr);

    // Does what a click on the control does (Space, and assistive tools).
    virtual void Press() = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
