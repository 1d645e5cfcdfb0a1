#include "ui/PartAccess.h"

#include <QWindow>

PartInterface::PartInterface(QWidget* owner)
    : owner(owner)
{
}

bool PartInterface::isValid() const
{
    return owner != nullptr && exists();
}

QObject* PartInterface::object() const
{
    return nullptr;
}

QWindow* PartInterface::window() const
{
    return owner != nullptr ? owner->window()->windowHandle() : nullptr;
}

QAccessibleInterface* PartInterface::focusChild() const
{
    return nullptr;
}

QAccessibleInterface* PartInterface::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface* PartInterface::child(int) const
{
    return nullptr;
}

int PartInterface::childCount() const
{
    return 0;
}

int PartInterface::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

void PartInterface::setText(QAccessible::Text, const QString&) { }

QAccessibleInterface* PartInterface::parent() const
{
    return QAccessible::queryAccessibleInterface(owner);
}

void* PartInterface::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList PartInterface::keyBindingsForAction(const QString&) const
{
    return QStringList();
}

PartCache::~PartCache()
{
    for (const auto& [key, id] : ids)
        QAccessible::deleteAccessibleInterface(id);
}

int PartCache::IndexOf(const QAccessibleInterface* part) const
{
    for (const auto& [key, id] : ids) {
        if (QAccessible::accessibleInterface(id) == part)
            return key.first;
    }
    return -1;
}
