#include "ui/ButtonAccess.h"

#include "ui/ControlAccess.h"
#include "ui/FocusSpot.h"
#include "ui/OverlayPictureButton.h"
#include "ui/PictureButton.h"

namespace {

class ButtonInterface : public ControlInterface
{
public:
    explicit ButtonInterface(PictureButton* button)
        : ControlInterface(button, QAccessible::PushButton)
    {
    }

    QAccessible::Role role() const override
    {
        if (!button()->choiceMode())
            return QAccessible::PushButton;
        return button()->radio() ? QAccessible::RadioButton : QAccessible::CheckBox;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(button());
        state.disabled = state.disabled || button()->disabledLook();
        state.pressed = button()->isDown();
        if (button()->choiceMode()) {
            state.checkable = true;
            state.checked = button()->latched();
        }
        return state;
    }

protected:
    bool pressable() const override { return true; }
    bool toggleable() const override { return button()->choiceMode(); }
    void press() override { button()->Press(); }

private:
    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
};

class ImageButtonInterface : public ControlInterface
{
public:
    explicit ImageButtonInterface(OverlayPictureButton* button)
        : ControlInterface(button, QAccessible::PushButton)
    {
    }
    QAccessible::State state() const override { return WidgetState(widget()); }

protected:
    bool pressable() const override { return true; }
    void press() override { static_cast<OverlayPictureButton*>(widget())->Press(); }
};

// A spot over part of an owner-drawn control: a button named by its pack text.
class SpotInterface : public ControlInterface
{
public:
    explicit SpotInterface(FocusSpot* spot)
        : ControlInterface(spot, QAccessible::PushButton)
    {
    }
    QAccessible::State state() const override { return WidgetState(widget()); }

protected:
    bool pressable() const override { return true; }
    void press() override { static_cast<FocusSpot*>(widget())->Press(); }
};

} // namespace

QAccessibleInterface* ButtonAccessFor(QWidget* widget)
{
    if (auto* button = qobject_cast<PictureButton*>(widget))
        return new ButtonInterface(button);
    if (auto* button = qobject_cast<OverlayPictureButton*>(widget))
        return new ImageButtonInterface(button);
    if (auto* spot = qobject_cast<FocusSpot*>(widget))
        return new SpotInterface(spot);
    return nullptr;
}
