#include "ui/ProgressAccess.h"

#include "ui/ControlAccess.h"
#include "ui/ProgressDots.h"

namespace {

class IndicatorInterface : public ControlInterface, public QAccessibleValueInterface
{
public:
    explicit IndicatorInterface(ProgressDots* indicator)
        : ControlInterface(indicator, QAccessible::ProgressBar)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return PackText(QStringLiteral("a11y_progress"), QStringLiteral("Progress"));
        if (t == QAccessible::Value)
            return PackText(QStringLiteral("a11y_step_of"), QStringLiteral("Step {0} of {1}"),
                QString::number(indicator()->filled()), QString::number(indicator()->total()));
        return ControlInterface::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.readOnly = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return ControlInterface::interface_cast(type);
    }

    QVariant currentValue() const override { return indicator()->filled(); }
    void setCurrentValue(const QVariant&) override { }
    QVariant maximumValue() const override { return indicator()->total(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ProgressDots* indicator() const { return static_cast<ProgressDots*>(widget()); }
};

} // namespace

QAccessibleInterface* ProgressAccessFor(QWidget* widget)
{
    if (auto* indicator = qobject_cast<ProgressDots*>(widget))
        return new IndicatorInterface(indicator);
    return nullptr;
}
