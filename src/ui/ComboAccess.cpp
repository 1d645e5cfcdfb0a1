#include "ui/ComboAccess.h"

#include "ui/ControlAccess.h"
#include "ui/LanguageCombo.h"
#include "ui/Messages.h"
#include "ui/PartAccess.h"
#include "ui/RoundedFrame.h"
#include "ui/WindowMessage.h"

namespace {

// A box that opens a drop-down list when pressed: a combo whose value is the text it shows.
class DropBoxInterface : public ControlInterface
{
public:
    explicit DropBoxInterface(RoundedFrame* box)
        : ControlInterface(box, QAccessible::ComboBox)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<RoundedFrame*>(widget())->text();
        return ControlInterface::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.hasPopup = true;
        return state;
    }
    QStringList actionNames() const override { return { pressAction(), showMenuAction() }; }
    void doAction(const QString& name) override
    {
        if ((name == pressAction() || name == showMenuAction()) && Usable(widget()))
            static_cast<RoundedFrame*>(widget())->Press();
    }
};

class ComboItemInterface : public PartInterface
{
public:
    ComboItemInterface(LanguageCombo* combo, int index)
        : PartInterface(combo)
        , index(index)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return combo()->ItemText(index);
    }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        // Where the item lies in the open list; the combo itself while the list is closed.
        return combo()->current() == index ? GlobalRect(owner, owner->rect()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && combo()->current() == index;
        state.disabled = isValid() && !Usable(owner);
        return state;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString& name) override
    {
        // What a click on the item in the open list does.
        if (name == pressAction() && isValid() && Usable(owner))
            PostWindowMessage(owner, WM_LANGUAGE_SELECTED, index, 0);
    }

private:
    bool exists() const override { return index >= 0 && index < combo()->count(); }
    LanguageCombo* combo() const { return static_cast<LanguageCombo*>(owner.data()); }
    int index;
};

class ComboInterface : public ControlInterface
{
public:
    explicit ComboInterface(LanguageCombo* combo)
        : ControlInterface(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->ItemText(combo()->current());
        return ControlInterface::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = combo()->list() != nullptr;
        state.collapsed = !state.expanded;
        return state;
    }
    int childCount() const override { return combo()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= combo()->count())
            return nullptr;
        return parts.Get({ index, 0 }, [this, index] { return new ComboItemInterface(combo(), index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return parts.IndexOf(child); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QStringList actionNames() const override { return { pressAction(), showMenuAction() }; }
    void doAction(const QString& name) override
    {
        if ((name == pressAction() || name == showMenuAction()) && Usable(widget()))
            combo()->OpenList();
    }

private:
    LanguageCombo* combo() const { return static_cast<LanguageCombo*>(widget()); }
    PartCache parts;
};

} // namespace

QAccessibleInterface* ComboAccessFor(QWidget* widget)
{
    if (auto* combo = qobject_cast<LanguageCombo*>(widget))
        return new ComboInterface(combo);
    if (auto* box = qobject_cast<RoundedFrame*>(widget); box != nullptr && box->pressable())
        return new DropBoxInterface(box);
    return nullptr;
}
