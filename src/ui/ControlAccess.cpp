#include "ui/ControlAccess.h"

#include "i18n/Localization.h"
#include "ui/AccessibleControls.h"

#include <QWidget>

ControlInterface::ControlInterface(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

QString ControlInterface::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return AccessibleNameOf(widget());
    return QAccessibleWidget::text(t);
}

QStringList ControlInterface::actionNames() const
{
    QStringList names = pressable() ? QStringList { pressAction() } : QStringList();
    if (toggleable())
        names << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void ControlInterface::doAction(const QString& name)
{
    if ((name == pressAction() && pressable()) || (name == toggleAction() && toggleable())) {
        if (Usable(widget()))
            press();
        return;
    }
    QAccessibleWidget::doAction(name);
}

bool Usable(const QWidget* widget)
{
    return widget != nullptr && widget->isEnabled() && InputReaches(widget);
}

QString PackText(const QString& key, const QString& fallback, const QString& value0, const QString& value1)
{
    return QString::fromStdString(
        Text(key.toStdString(), fallback.toStdString(), value0.toStdString(), value1.toStdString()));
}

QRect GlobalRect(const QWidget* widget, const QRect& local)
{
    if (widget == nullptr || local.isEmpty())
        return QRect();
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State WidgetState(const QWidget* widget)
{
    QAccessible::State state;
    if (widget == nullptr)
        return state;
    if (!Usable(widget))
        state.disabled = true;
    if (!widget->isVisible())
        state.invisible = true;
    if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
        state.focusable = true;
        state.focused = widget->hasFocus();
    }
    return state;
}
