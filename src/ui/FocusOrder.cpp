#include "ui/FocusOrder.h"

#include <QApplication>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

bool TakesTab(const QWidget* widget, const QWidget* root)
{
    return (widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isEnabled() && widget->isVisibleTo(root)
        && widget->focusProxy() == nullptr;
}

// Widgets inside a control that takes Tab belong to that control (a list's viewport, an edit's buttons).
void Collect(const QWidget* parent, const QWidget* root, QList<QWidget*>& found)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || !widget->isVisibleTo(root))
            continue;
        if (TakesTab(widget, root))
            found << widget;
        else
            Collect(widget, root, found);
    }
}

} // namespace

QList<QWidget*> ReadingOrder(const QWidget* root)
{
    QList<QWidget*> controls;
    if (root == nullptr)
        return controls;
    Collect(root, root, controls);

    struct Placed
    {
        QWidget* widget;
        QRect rect;
    };
    std::vector<Placed> placed;
    for (QWidget* widget : controls)
        placed.push_back({ widget, QRect(widget->mapTo(root, QPoint(0, 0)), widget->size()) });
    std::stable_sort(placed.begin(), placed.end(),
        [](const Placed& a, const Placed& b) { return a.rect.center().y() < b.rect.center().y(); });

    // A row is what lies level with its first control (centre within its height); each row reads left to right.
    QList<QWidget*> ordered;
    for (size_t first = 0; first < placed.size();) {
        const QRect lead = placed[first].rect;
        size_t end = first + 1;
        while (end < placed.size() && placed[end].rect.center().y() <= lead.bottom())
            ++end;
        std::stable_sort(placed.begin() + static_cast<std::ptrdiff_t>(first),
            placed.begin() + static_cast<std::ptrdiff_t>(end),
            [](const Placed& a, const Placed& b) { return a.rect.x() < b.rect.x(); });
        for (size_t i = first; i < end; ++i)
            ordered << placed[i].widget;
        first = end;
    }
    return ordered;
}

bool MoveFocusInReadingOrder(QWidget* root, bool next)
{
    const QList<QWidget*> order = ReadingOrder(root);
    if (order.isEmpty())
        return false;
    const QWidget* focused = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (order[i] == focused || order[i]->isAncestorOf(focused)) {
            at = i;
            break;
        }
    }
    qsizetype to = 0;
    if (at < 0)
        to = next ? 0 : order.size() - 1;
    else
        to = (at + (next ? 1 : order.size() - 1)) % order.size();
    order[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
