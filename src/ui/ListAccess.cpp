#include "ui/ListAccess.h"

#include "ui/AccessibleRows.h"
#include "ui/ControlAccess.h"
#include "ui/PartAccess.h"

namespace {

// The parts of a row: the row itself, its check cell and its button.
enum RowPart { RowSelf = 0, RowCheck = 1, RowButton = 2 };

AccessibleRows* RowsOf(QWidget* widget)
{
    return dynamic_cast<AccessibleRows*>(widget);
}

class RowPartInterface : public PartInterface
{
public:
    RowPartInterface(QWidget* list, int row, RowPart part)
        : PartInterface(list)
        , row(row)
        , part(part)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        if (part == RowButton)
            return rows()->AccessibleRowButton(row);
        return rows()->AccessibleRowText(row);
    }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        return GlobalRect(owner, part == RowCheck ? rows()->AccessibleCheckRect(row) : rows()->AccessibleRowRect(row));
    }
    QAccessible::Role role() const override
    {
        if (part == RowButton)
            return QAccessible::PushButton;
        if (part == RowCheck)
            return rows()->AccessibleCheckRole();
        return listRole() == QAccessible::List ? QAccessible::ListItem : QAccessible::Row;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.disabled = !Usable(owner);
        state.invisible = rect().isEmpty();
        const bool checks = rows()->AccessibleCheckRole() != QAccessible::NoRole;
        if (part == RowSelf) {
            state.selectable = true;
            state.selected = checks ? rows()->AccessibleRowChecked(row) : rows()->AccessibleRowSelected(row);
        }
        // The keyboard is on the current row: on its button, or else on the row and its check cell.
        state.focusable = true;
        state.focused = owner->hasFocus() && rows()->AccessibleCurrentRow() == row
            && (part == RowButton) == rows()->AccessibleButtonCurrent();
        if (part != RowButton && checks) {
            state.checkable = true;
            state.checked = rows()->AccessibleRowChecked(row);
            state.disabled = state.disabled || !rows()->AccessibleRowCheckEnabled(row);
        }
        return state;
    }
    int childCount() const override
    {
        if (part != RowSelf || !isValid())
            return 0;
        return (hasCheck() ? 1 : 0) + (rows()->AccessibleRowButton(row).isEmpty() ? 0 : 1);
    }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* parent() const override;
    QStringList actionNames() const override
    {
        if (!isValid())
            return QStringList();
        if (part == RowButton)
            return { pressAction() };
        if (hasCheck())
            return { pressAction(), toggleAction() };
        return { pressAction() };
    }
    void doAction(const QString& name) override
    {
        if (!isValid() || !Usable(owner) || !actionNames().contains(name))
            return;
        if (part == RowButton)
            rows()->AccessibleClickButton(row);
        else if (part == RowSelf && !hasCheck())
            rows()->AccessibleClickRow(row);
        else
            rows()->AccessibleClickCheck(row);
    }

private:
    bool exists() const override { return rows() != nullptr && row >= 0 && row < rows()->AccessibleRowCount(); }
    AccessibleRows* rows() const { return RowsOf(owner); }
    QAccessible::Role listRole() const { return rows()->AccessibleListRole(); }
    bool hasCheck() const { return rows()->AccessibleCheckRole() != QAccessible::NoRole; }

    int row;
    RowPart part;
};

class ListInterface : public ControlInterface
{
public:
    explicit ListInterface(QWidget* list)
        : ControlInterface(list, RowsOf(list)->AccessibleListRole())
    {
    }

    QAccessible::Role role() const override { return rows()->AccessibleListRole(); }
    QAccessible::State state() const override { return WidgetState(widget()); }
    int childCount() const override { return rows()->AccessibleRowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return Part(index, RowSelf);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr || child->parent() != this)
            return -1;
        for (int i = 0; i < childCount(); ++i) {
            if (Part(i, RowSelf) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* row = Part(i, RowSelf);
            if (row->rect().contains(x, y))
                return row;
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const int current = rows()->AccessibleCurrentRow();
        if (!widget()->hasFocus() || current < 0 || current >= childCount())
            return nullptr;
        return Part(current, rows()->AccessibleButtonCurrent() ? RowButton : RowSelf);
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames(); }

    QAccessibleInterface* Part(int row, RowPart part) const
    {
        return parts.Get({ row, part }, [this, row, part] { return new RowPartInterface(widget(), row, part); });
    }

private:
    AccessibleRows* rows() const { return RowsOf(widget()); }
    PartCache parts;
};

ListInterface* ListOf(QWidget* list)
{
    return static_cast<ListInterface*>(QAccessible::queryAccessibleInterface(list));
}

QAccessibleInterface* RowPartInterface::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    const RowPart which = (index == 0 && hasCheck()) ? RowCheck : RowButton;
    return ListOf(owner)->Part(row, which);
}

QAccessibleInterface* RowPartInterface::parent() const
{
    if (part == RowSelf || owner == nullptr)
        return PartInterface::parent();
    return ListOf(owner)->Part(row, RowSelf);
}

} // namespace

QAccessibleInterface* ListAccessFor(QWidget* widget)
{
    if (dynamic_cast<AccessibleRows*>(widget) != nullptr)
        return new ListInterface(widget);
    return nullptr;
}
