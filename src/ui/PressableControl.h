#pragma once
// A control the keyboard presses like a click: Space does what Press does (held down, once), and the control
// repaints as it takes or loses the focus, so its focus mark follows.

#include <QWidget>
#include <functional>

class QKeyEvent;

// Space presses once however long it is held: true when the key is Space (then taken, and `press` run unless the
// key repeats), false for any other key.
bool PressOnSpace(QKeyEvent* event, const std::function<void()>& press);

class PressableControl : public QWidget
{
    Q_OBJECT
public:
    explicit PressableControl(QWidget* parent = nullptr);

    // Does what a click on the control does (Space, and assistive tools).
    virtual void Press() = 0;

protected:
    // Whether Space presses the control now (a control that is pressable only at times says when).
    virtual bool TakesSpace() const { return true; }

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
