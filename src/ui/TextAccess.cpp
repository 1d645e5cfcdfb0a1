#include "ui/TextAccess.h"

#include "ui/ControlAccess.h"
#include "ui/FlowingText.h"
#include "ui/HelpLink.h"
#include "ui/Messages.h"
#include "ui/OneLineText.h"
#include "ui/RoundedFrame.h"

namespace {

// The one-line texts: static texts, or links when they are switched to links.
class TextInterface : public ControlInterface
{
public:
    explicit TextInterface(OneLineText* text)
        : ControlInterface(text, QAccessible::StaticText)
    {
    }
    QAccessible::Role role() const override { return isLink() ? QAccessible::Link : QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.readOnly = !isLink();
        state.linked = isLink();
        return state;
    }

protected:
    bool pressable() const override { return isLink(); }
    void press() override { static_cast<OneLineText*>(widget())->Press(); }

private:
    bool isLink() const { return static_cast<OneLineText*>(widget())->link(); }
};

class LinkInterface : public ControlInterface
{
public:
    explicit LinkInterface(HelpLink* link)
        : ControlInterface(link, QAccessible::Link)
    {
    }
    QAccessible::Role role() const override { return isLink() ? QAccessible::Link : QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.linked = isLink();
        return state;
    }

protected:
    bool pressable() const override { return isLink(); }
    void press() override { static_cast<HelpLink*>(widget())->Press(); }

private:
    bool isLink() const { return static_cast<HelpLink*>(widget())->overlay() != NO_OVERLAY; }
};

class StaticInterface : public ControlInterface
{
public:
    explicit StaticInterface(QWidget* widget)
        : ControlInterface(widget, QAccessible::StaticText)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.readOnly = true;
        return state;
    }
};

} // namespace

QAccessibleInterface* TextAccessFor(QWidget* widget)
{
    if (auto* text = qobject_cast<OneLineText*>(widget))
        return new TextInterface(text);
    if (auto* link = qobject_cast<HelpLink*>(widget))
        return new LinkInterface(link);
    if (qobject_cast<FlowingText*>(widget) != nullptr)
        return new StaticInterface(widget);
    if (auto* box = qobject_cast<RoundedFrame*>(widget); box != nullptr && !box->pressable() && !box->text().isEmpty())
        return new StaticInterface(widget);
    return nullptr;
}
