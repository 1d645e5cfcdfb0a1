#include "overlays/ModalLayer.h"

#include "ui/AccessibleControls.h"
#include "ui/FocusOrder.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace {

std::vector<ModalLayer*>& RunningLayers()
{
    static std::vector<ModalLayer*> layers;
    return layers;
}

// Marks a window whose layers were closed for good (a dynamic property, so it goes with the window).
constexpr const char* kClosedProperty = "hxtModalLayersClosed";

bool IsInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        return true;
    default:
        return false;
    }
}

// Input reaches the top-most running layer and what is inside it; with no layer running, every widget.
bool ReachesTopLayer(const QWidget* widget)
{
    if (RunningLayers().empty())
        return true;
    const ModalLayer* top = RunningLayers().back();
    return widget == top || top->isAncestorOf(widget);
}

// Drops input meant for widgets outside the top-most running layer.
class ModalInputFilter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsInputEvent(event->type()) || !watched->isWidgetType())
            return false;
        return !ReachesTopLayer(static_cast<QWidget*>(watched));
    }
};

void InstallInputFilter()
{
    static ModalInputFilter* filter = nullptr;
    if (filter == nullptr && QCoreApplication::instance() != nullptr) {
        filter = new ModalInputFilter;
        filter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
        // An assistive tool's presses and edits obey the same rule as clicks and keys.
        SetInputGate(&ReachesTopLayer);
    }
}

} // namespace

ModalLayer::ModalLayer(QWidget* inside)
    : QWidget(inside->window())
{
    InstallInputFilter();
    setGeometry(parentWidget()->rect());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    parentWidget()->installEventFilter(this);
    hide();
}

ModalLayer::~ModalLayer()
{
    auto& layers = RunningLayers();
    layers.erase(std::remove(layers.begin(), layers.end(), this), layers.end());
    if (resultSlot != nullptr)
        *resultSlot = IDCANCEL;
    if (loop != nullptr)
        loop->quit();
}

int ModalLayer::Run()
{
    if (loop != nullptr || IsClosed(window()))
        return IDCANCEL;
    int result = IDCANCEL;
    QEventLoop localLoop;
    loop = &localLoop;
    resultSlot = &result;
    QPointer<ModalLayer> alive(this);
    QPointer<QWidget> previousFocus = QApplication::focusWidget();

    RunningLayers().push_back(this);
    setGeometry(parentWidget()->rect());
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    Started();
    placeStartFocus();
    if (loop != nullptr)
        localLoop.exec(QEventLoop::DialogExec);

    if (alive) {
        loop = nullptr;
        resultSlot = nullptr;
        auto& layers = RunningLayers();
        layers.erase(std::remove(layers.begin(), layers.end(), this), layers.end());
        hide();
    }
    if (previousFocus && previousFocus->isVisible())
        previousFocus->setFocus(Qt::OtherFocusReason);
    return result;
}

void ModalLayer::End(int value)
{
    if (loop == nullptr)
        return;
    *resultSlot = value;
    QEventLoop* running = loop;
    loop = nullptr;
    resultSlot = nullptr;
    auto& layers = RunningLayers();
    layers.erase(std::remove(layers.begin(), layers.end(), this), layers.end());
    hide();
    running->quit();
}

void ModalLayer::CloseAll(QWidget* window)
{
    if (window == nullptr)
        return;
    window->setProperty(kClosedProperty, true);
    // End quits each layer's own loop; the loops unwind as control returns to them.
    const std::vector<ModalLayer*> running = RunningLayers();
    for (auto it = running.rbegin(); it != running.rend(); ++it)
        if ((*it)->window() == window)
            (*it)->End(IDCANCEL);
}

void ModalLayer::Reopen(QWidget* window)
{
    if (window != nullptr)
        window->setProperty(kClosedProperty, QVariant());
}

bool ModalLayer::IsClosed(const QWidget* window)
{
    return window != nullptr && window->property(kClosedProperty).toBool();
}

ModalLayer* ModalLayer::Top()
{
    return RunningLayers().empty() ? nullptr : RunningLayers().back();
}

QPoint ModalLayer::OriginInWindow(const QWidget* widget)
{
    if (widget == nullptr)
        return QPoint();
    return widget->mapTo(widget->window(), QPoint(0, 0));
}

void ModalLayer::placeStartFocus()
{
    if (loop == nullptr || window()->focusWidget() != this)
        return; // ended already, or Started chose
    // An entry first (a field to type in, a text to read), then the control the box names.
    for (QWidget* control : ReadingOrder(this)) {
        if (qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QTextEdit*>(control) != nullptr) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (startFocus != nullptr && ReadingOrder(this).contains(startFocus.data()))
        startFocus->setFocus(Qt::TabFocusReason);
}

bool ModalLayer::focusNextPrevChild(bool next)
{
    MoveFocusInReadingOrder(this, next);
    return true; // without controls of its own the layer keeps the focus
}

bool ModalLayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
