#pragma once
// The common ground of the controls' accessibility interfaces: role and state from the control, the name from
// AccessibleNameOf, and press and toggle actions doing what a click does; with the helpers every family uses.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRect>
#include <QString>

class QWidget;

class ControlInterface : public QAccessibleWidget
{
public:
    ControlInterface(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& name) override;

protected:
    virtual bool pressable() const { return false; }
    virtual bool toggleable() const { return false; }
    virtual void press() { }
};

// What a click or a key on the control would reach: it is enabled and no modal layer covers it.
bool Usable(const QWidget* widget);
// The text of key in the current language pack (fallback when it has none), with {0} and {1} filled in.
QString PackText(
    const QString& key, const QString& fallback, const QString& value0 = QString(), const QString& value1 = QString());
// A rectangle in widget's coordinates on the screen (empty when it is empty).
QRect GlobalRect(const QWidget* widget, const QRect& local);
// The widget's own state, with `unavailable` for a control that only looks disabled.
QAccessible::State WidgetState(const QWidget* widget);
