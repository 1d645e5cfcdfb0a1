#include "ui/OverlayAccess.h"

#include "ui/AccessibleOverlay.h"
#include "ui/ControlAccess.h"
#include "ui/PartAccess.h"

namespace {

// The message an overlay draws itself, as a static text.
class MessagePartInterface : public PartInterface
{
public:
    explicit MessagePartInterface(QWidget* overlay)
        : PartInterface(overlay)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return dynamic_cast<AccessibleOverlay*>(owner.data())->AccessibleMessage();
    }
    QRect rect() const override { return owner != nullptr ? GlobalRect(owner, owner->rect()) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }
    QStringList actionNames() const override { return QStringList(); }
    void doAction(const QString&) override { }

private:
    bool exists() const override { return dynamic_cast<AccessibleOverlay*>(owner.data()) != nullptr; }
};

class OverlayInterface : public QAccessibleWidget
{
public:
    explicit OverlayInterface(QWidget* overlay)
        : QAccessibleWidget(overlay, QAccessible::Dialog)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return box()->AccessibleTitle();
        if (t == QAccessible::Description)
            return box()->AccessibleMessage();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = true;
        return state;
    }
    // The overlay's own controls, then its message when it has one.
    int childCount() const override
    {
        return QAccessibleWidget::childCount() + (box()->AccessibleMessage().isEmpty() ? 0 : 1);
    }
    QAccessibleInterface* child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        if (index == own && !box()->AccessibleMessage().isEmpty())
            return parts.Get({ 0, 0 }, [this] { return new MessagePartInterface(widget()); });
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (parts.IndexOf(child) == 0)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    AccessibleOverlay* box() const { return dynamic_cast<AccessibleOverlay*>(widget()); }
    PartCache parts;
};

} // namespace

QAccessibleInterface* OverlayAccessFor(QWidget* widget)
{
    if (dynamic_cast<AccessibleOverlay*>(widget) != nullptr)
        return new OverlayInterface(widget);
    return nullptr;
}
