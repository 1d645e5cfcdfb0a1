#pragma once
// The accessibility interfaces of parts that are no widgets of their own (combo items, list rows and their cells,
// an overlay's message): each lives as long as its control's interface, which keeps it in a PartCache.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPointer>
#include <QWidget>
#include <map>
#include <utility>

class PartInterface : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit PartInterface(QWidget* owner);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int, int) const override;
    QAccessibleInterface* child(int) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface*) const override;
    void setText(QAccessible::Text, const QString&) override;
    QAccessibleInterface* parent() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    QStringList keyBindingsForAction(const QString&) const override;

protected:
    virtual bool exists() const = 0;
    QPointer<QWidget> owner;
};

// Parts cached by key, deleted with the control's interface.
class PartCache
{
public:
    ~PartCache();
    template <typename Make> QAccessibleInterface* Get(std::pair<int, int> key, Make make) const
    {
        const auto it = ids.find(key);
        if (it != ids.end()) {
            if (QAccessibleInterface* part = QAccessible::accessibleInterface(it->second))
                return part;
        }
        QAccessibleInterface* part = make();
        ids[key] = QAccessible::registerAccessibleInterface(part);
        return part;
    }
    // The first number of the part's key, or -1 when it is not in the cache.
    int IndexOf(const QAccessibleInterface* part) const;

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> ids;
};
