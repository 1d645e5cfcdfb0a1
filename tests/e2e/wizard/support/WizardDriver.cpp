#include "WizardDriver.h"

#include "i18n/Localization.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kPollMs = 15;
constexpr int kMaxDepth = 40;

QString RoleName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
        return QStringLiteral("PushButton");
    case QAccessible::CheckBox:
        return QStringLiteral("CheckBox");
    case QAccessible::RadioButton:
        return QStringLiteral("RadioButton");
    case QAccessible::EditableText:
        return QStringLiteral("EditableText");
    case QAccessible::StaticText:
        return QStringLiteral("StaticText");
    case QAccessible::ComboBox:
        return QStringLiteral("ComboBox");
    case QAccessible::ListItem:
        return QStringLiteral("ListItem");
    case QAccessible::List:
        return QStringLiteral("List");
    case QAccessible::Table:
        return QStringLiteral("Table");
    case QAccessible::Row:
        return QStringLiteral("Row");
    case QAccessible::Cell:
        return QStringLiteral("Cell");
    case QAccessible::Dialog:
        return QStringLiteral("Dialog");
    case QAccessible::Pane:
        return QStringLiteral("Pane");
    case QAccessible::Link:
        return QStringLiteral("Link");
    case QAccessible::ProgressBar:
        return QStringLiteral("ProgressBar");
    case QAccessible::Client:
        return QStringLiteral("Client");
    case QAccessible::Window:
        return QStringLiteral("Window");
    case QAccessible::NoRole:
        return QStringLiteral("any role");
    default:
        return QStringLiteral("role 0x%1").arg(static_cast<int>(role), 0, 16);
    }
}

bool Shown(QAccessibleInterface* face)
{
    return face != nullptr && face->isValid() && !face->state().invisible;
}

// Visits the shown part of the tree in reading order (a control before its children); visit returns false to
// stop. within: the names of the enclosing controls, joined.
void Visit(QAccessibleInterface* face, int depth, const QString& within,
    const std::function<bool(QAccessibleInterface*, const QString&)>& visit, bool& stop)
{
    if (stop || depth > kMaxDepth || !Shown(face))
        return;
    if (!visit(face, within)) {
        stop = true;
        return;
    }
    QString inside = within + QLatin1Char('\x1f') + face->text(QAccessible::Name);
    if (face->role() == QAccessible::Dialog)
        inside += QLatin1Char('\x1f') + Control::Box();
    const int count = face->childCount();
    for (int i = 0; i < count && !stop; ++i)
        Visit(face->child(i), depth + 1, inside, visit, stop);
}

bool Available(QAccessibleInterface* face)
{
    const QAccessible::State state = face->state();
    return !state.disabled && !state.invisible;
}

Seen SeenOf(QAccessibleInterface* face)
{
    Seen seen;
    seen.role = face->role();
    seen.name = face->text(QAccessible::Name);
    seen.value = face->text(QAccessible::Value);
    seen.description = face->text(QAccessible::Description);
    seen.state = face->state();
    seen.children = face->childCount();
    return seen;
}

// What an action is done on once the caller has gone on: the nearest object at or above the control, and the
// path of child indices from it down to a part without an object of its own (a row, its check cell, an item).
struct Target
{
    QPointer<QObject> object;
    QList<int> path;
    QString name;

    QAccessibleInterface* Resolve() const
    {
        if (!object)
            return nullptr;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        for (int index : path) {
            if (face == nullptr || index < 0 || index >= face->childCount())
                return nullptr;
            face = face->child(index);
        }
        // The list may have changed since: the part must still be the one that was meant.
        return face != nullptr && face->text(QAccessible::Name) == name ? face : nullptr;
    }
};

Target TargetOf(QAccessibleInterface* face)
{
    Target target;
    target.name = face->text(QAccessible::Name);
    QAccessibleInterface* at = face;
    while (at != nullptr && at->object() == nullptr) {
        QAccessibleInterface* parent = at->parent();
        if (parent == nullptr)
            return {};
        target.path.prepend(parent->indexOfChild(at));
        at = parent;
    }
    if (at != nullptr)
        target.object = at->object();
    return target;
}

} // namespace

struct WizardDriver::Shared
{
    mutable std::mutex lock;
    QString firstFailure;
    QStringList lines;
    QElapsedTimer clock;
};

QString Control::Describe() const
{
    QString text = RoleName(role);
    if (!name.isEmpty())
        text += (contains ? QStringLiteral(" holding \"") : QStringLiteral(" \"")) + name + QLatin1Char('"');
    if (index != 0)
        text += QStringLiteral(" #%1").arg(index);
    if (!within.isEmpty())
        text += QStringLiteral(" in \"") + within + QLatin1Char('"');
    return text;
}

WizardDriver::WizardDriver(QWidget* window, int stepLimitMs)
    : window(window)
    , stepLimitMs(stepLimitMs)
    , shared(std::make_shared<Shared>())
{
    shared->clock.start();
}

bool WizardDriver::OnGui(const std::function<void()>& fn, int limitMs)
{
    if (QThread::currentThread() == qApp->thread()) {
        fn();
        return true;
    }
    struct Call
    {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
    };
    auto call = std::make_shared<Call>();
    // The function may hold references to the caller's stack: once the caller gave up, it must not run.
    auto abandoned = std::make_shared<std::atomic<bool>>(false);
    QMetaObject::invokeMethod(
        qApp,
        [call, abandoned, fn] {
            if (!abandoned->load())
                fn();
            {
                std::lock_guard<std::mutex> guard(call->lock);
                call->finished = true;
            }
            call->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> guard(call->lock);
    if (call->done.wait_for(guard, std::chrono::milliseconds(limitMs), [&] { return call->finished; }))
        return true;
    abandoned->store(true);
    guard.unlock();
    Fail(QStringLiteral("the interface thread did not answer within %1 ms").arg(limitMs));
    return false;
}

QString WizardDriver::Pack(const char* key, const char* fallback, const std::string& value0)
{
    QString text = QString::fromUtf8(fallback);
    OnGui([&] { text = QString::fromStdString(Text(key, fallback, value0)); });
    return text;
}

QString WizardDriver::Normalise(QString text)
{
    text = text.simplified();
    while (text.startsWith(QLatin1Char('<')))
        text = text.mid(1).trimmed();
    while (text.endsWith(QLatin1Char('>')))
        text = text.chopped(1).trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text = text.chopped(1).trimmed();
    return text.toCaseFolded();
}

bool WizardDriver::Matches(const QString& name, const QString& wanted, bool contains)
{
    if (wanted.isEmpty())
        return true;
    const QString have = Normalise(name);
    const QString want = Normalise(wanted);
    return contains ? have.contains(want) : have == want;
}

namespace {

// The index-th match of control (on the interface thread).
QAccessibleInterface* FindOn(QWidget* window, const Control& control)
{
    if (window == nullptr)
        return nullptr;
    std::vector<QAccessibleInterface*> found;
    bool stop = false;
    Visit(
        QAccessible::queryAccessibleInterface(window), 0, QString(),
        [&](QAccessibleInterface* face, const QString& within) {
            if ((control.role == QAccessible::NoRole || face->role() == control.role)
                && WizardDriver::Matches(face->text(QAccessible::Name), control.name, control.contains)
                && (control.within.isEmpty()
                    || WizardDriver::Normalise(within).contains(WizardDriver::Normalise(control.within)))) {
                found.push_back(face);
                if (control.index >= 0 && static_cast<int>(found.size()) > control.index)
                    return false;
            }
            return true;
        },
        stop);
    if (found.empty())
        return nullptr;
    if (control.index < 0)
        return found.back();
    return control.index < static_cast<int>(found.size()) ? found[static_cast<size_t>(control.index)] : nullptr;
}

} // namespace

std::optional<Seen> WizardDriver::Look(const Control& control)
{
    std::optional<Seen> seen;
    OnGui([&] {
        if (QAccessibleInterface* face = FindOn(window, control))
            seen = SeenOf(face);
    });
    return seen;
}

QList<Seen> WizardDriver::Children(const Control& control)
{
    QList<Seen> children;
    OnGui([&] {
        if (QAccessibleInterface* face = FindOn(window, control)) {
            for (int i = 0; i < face->childCount(); ++i) {
                if (QAccessibleInterface* child = face->child(i); child != nullptr && child->isValid())
                    children << SeenOf(child);
            }
        }
    });
    return children;
}

bool WizardDriver::WaitFor(const Control& control, int limitMs, bool available)
{
    const bool found = WaitUntil(
        [&] {
            const std::optional<Seen> seen = Look(control);
            return seen && (!available || seen->Available());
        },
        limitOr(limitMs));
    if (!found)
        Fail(QStringLiteral("%1 did not become %2 within %3 ms")
                 .arg(control.Describe(), available ? QStringLiteral("usable") : QStringLiteral("shown"))
                 .arg(limitOr(limitMs)));
    return found;
}

bool WizardDriver::act(const Control& control, int limitMs, const QString& action, int child)
{
    QElapsedTimer clock;
    clock.start();
    const int limit = limitOr(limitMs);
    QString missing;
    while (true) {
        bool done = false;
        missing.clear();
        OnGui([&] {
            QAccessibleInterface* face = FindOn(window, control);
            if (face != nullptr && child >= 0)
                face = child < face->childCount() ? face->child(child) : nullptr;
            if (face == nullptr) {
                missing = QStringLiteral("not there");
                return;
            }
            // An item scrolled out of sight is still there to act on, as an assistive tool acts on it.
            if (child >= 0 ? face->state().disabled : !Available(face)) {
                missing = QStringLiteral("not available");
                return;
            }
            QAccessibleActionInterface* actions = face->actionInterface();
            if (actions == nullptr) {
                missing = QStringLiteral("without actions");
                return;
            }
            QString name = action;
            const QStringList names = actions->actionNames();
            if (!names.contains(name))
                name = names.contains(QAccessibleActionInterface::pressAction())
                    ? QAccessibleActionInterface::pressAction()
                    : QString();
            if (name.isEmpty()) {
                missing = QStringLiteral("without the action (it has: %1)").arg(names.join(QLatin1Char(',')));
                return;
            }
            // Done from the event loop: the action may run a box of its own until the user ends it.
            const Target target = TargetOf(face);
            QTimer::singleShot(0, qApp, [target, name] {
                if (QAccessibleInterface* again = target.Resolve(); again != nullptr && again->actionInterface())
                    again->actionInterface()->doAction(name);
            });
            done = true;
        });
        if (done) {
            Note(QStringLiteral("%1 %2%3").arg(
                action, control.Describe(), child >= 0 ? QStringLiteral(" child %1").arg(child) : QString()));
            return true;
        }
        if (clock.elapsed() > limit)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    Fail(QStringLiteral("could not %1 %2%3: %4 after %5 ms")
             .arg(action, control.Describe(), child >= 0 ? QStringLiteral(" child %1").arg(child) : QString(), missing)
             .arg(limit));
    return false;
}

bool WizardDriver::Press(const Control& control, int limitMs)
{
    return act(control, limitMs, QAccessibleActionInterface::pressAction());
}

bool WizardDriver::Toggle(const Control& control, int limitMs)
{
    return act(control, limitMs, QAccessibleActionInterface::toggleAction());
}

bool WizardDriver::PressChild(const Control& parent, int child, int limitMs)
{
    return act(parent, limitMs, QAccessibleActionInterface::pressAction(), child);
}

QList<Seen> WizardDriver::OpenItems(const Control& combo, int limitMs)
{
    QList<Seen> items = Children(combo);
    if (!items.isEmpty() && items.first().role == QAccessible::ListItem)
        return items;
    // The list is a control of its own that the combo shows when pressed.
    const Control list { QAccessible::List, QString(), false, -1 };
    if (!Exists(list) && !Press(combo, limitMs))
        return {};
    if (!WaitUntil([&] { return !Children(list).isEmpty(); }, limitOr(limitMs))) {
        Fail(QStringLiteral("%1 opened no list of items within %2 ms").arg(combo.Describe()).arg(limitOr(limitMs)));
        return {};
    }
    return Children(list);
}

bool WizardDriver::ChooseItem(const Control& combo, int item, int limitMs)
{
    const QList<Seen> items = OpenItems(combo, limitMs);
    if (item < 0 || item >= items.size()) {
        Fail(QStringLiteral("%1 has no item %2 (%3 items)").arg(combo.Describe()).arg(item).arg(items.size()));
        return false;
    }
    const QList<Seen> own = Children(combo);
    if (!own.isEmpty() && own.first().role == QAccessible::ListItem)
        return PressChild(combo, item, limitMs);
    return PressChild(Control { QAccessible::List, QString(), false, -1 }, item, limitMs);
}

bool WizardDriver::SetText(const Control& edit, const QString& text, int limitMs)
{
    if (!WaitFor(edit, limitMs))
        return false;
    bool set = false;
    OnGui([&] {
        QAccessibleInterface* face = FindOn(window, edit);
        if (face == nullptr)
            return;
        if (QAccessibleEditableTextInterface* editable = face->editableTextInterface()) {
            const int count = face->textInterface() != nullptr ? face->textInterface()->characterCount() : 0;
            editable->replaceText(0, count, text);
        } else {
            face->setText(QAccessible::Value, text);
        }
        set = true;
    });
    if (!set)
        Fail(QStringLiteral("could not type into %1").arg(edit.Describe()));
    else
        Note(QStringLiteral("typed %1 characters into %2").arg(text.size()).arg(edit.Describe()));
    return set;
}

QStringList WizardDriver::Texts()
{
    QStringList texts;
    OnGui([&] {
        if (!window)
            return;
        bool stop = false;
        Visit(
            QAccessible::queryAccessibleInterface(window), 0, QString(),
            [&](QAccessibleInterface* face, const QString&) {
                const QAccessible::Role role = face->role();
                if (role == QAccessible::StaticText || role == QAccessible::Dialog || role == QAccessible::Pane
                    || role == QAccessible::AlertMessage || role == QAccessible::Link) {
                    const QString name = face->text(QAccessible::Name).simplified();
                    const QString description = face->text(QAccessible::Description).simplified();
                    if (!name.isEmpty())
                        texts << name;
                    if (!description.isEmpty() && description != name)
                        texts << description;
                }
                return true;
            },
            stop);
    });
    return texts;
}

bool WizardDriver::WaitForText(const QString& text, int limitMs, QString* seen)
{
    QString found;
    const bool ok = WaitUntil(
        [&] {
            for (const QString& shown : Texts()) {
                if (Matches(shown, text, true)) {
                    found = shown;
                    return true;
                }
            }
            return false;
        },
        limitOr(limitMs));
    if (seen != nullptr)
        *seen = found;
    if (!ok)
        Fail(QStringLiteral("the text \"%1\" did not show within %2 ms; shown: %3")
                 .arg(text)
                 .arg(limitOr(limitMs))
                 .arg(Texts().join(QStringLiteral(" | "))));
    return ok;
}

bool WizardDriver::WaitForNoText(const QString& text, int limitMs)
{
    const bool ok = WaitUntil(
        [&] {
            for (const QString& shown : Texts()) {
                if (Matches(shown, text, true))
                    return false;
            }
            return true;
        },
        limitOr(limitMs));
    if (!ok)
        Fail(QStringLiteral("the text \"%1\" still shows after %2 ms").arg(text).arg(limitOr(limitMs)));
    return ok;
}

int WizardDriver::Step()
{
    int step = 0;
    OnGui([&] {
        QAccessibleInterface* face = FindOn(window, Control { QAccessible::ProgressBar, QString(), false, -1 });
        if (face == nullptr)
            return;
        if (QAccessibleValueInterface* value = face->valueInterface()) {
            step = value->currentValue().toInt();
            return;
        }
        // Without a value interface: the first number of its value text.
        const QString text = face->text(QAccessible::Value);
        QString digits;
        for (QChar c : text) {
            if (c.isDigit())
                digits += c;
            else if (!digits.isEmpty())
                break;
        }
        step = digits.toInt();
    });
    return step;
}

bool WizardDriver::WaitForStep(int step, int limitMs)
{
    const bool ok = WaitUntil([&] { return Step() == step; }, limitOr(limitMs));
    if (!ok)
        Fail(QStringLiteral("page %1 (step %2) did not show within %3 ms (step shown: %4)")
                 .arg(step + 1)
                 .arg(step)
                 .arg(limitOr(limitMs))
                 .arg(Step()));
    return ok;
}

bool WizardDriver::WaitUntil(const std::function<bool()>& pred, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    const int limit = limitOr(limitMs);
    while (true) {
        if (pred())
            return true;
        if (clock.elapsed() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

bool WizardDriver::CloseWindow()
{
    bool closed = false;
    OnGui([&] {
        if (!window)
            return;
        QWidget* top = window->window();
        // As the window manager does it: a close request to the window, which the program may act on.
        QTimer::singleShot(0, qApp, [top = QPointer<QWidget>(top)] {
            if (!top)
                return;
            if (QWindow* handle = top->windowHandle())
                handle->close();
            else
                top->close();
        });
        closed = true;
    });
    Note(QStringLiteral("window closed"));
    return closed;
}

bool WizardDriver::WindowGone()
{
    bool gone = true;
    OnGui([&] { gone = !window || !window->isVisible(); }, 2000);
    return gone;
}

QString WizardDriver::Dump()
{
    QString text;
    OnGui([&] {
        if (!window)
            return;
        std::function<void(QAccessibleInterface*, int)> dump = [&](QAccessibleInterface* face, int depth) {
            if (!Shown(face) || depth > kMaxDepth)
                return;
            const QAccessible::State state = face->state();
            text += QString(depth * 2, QLatin1Char(' ')) + RoleName(face->role()) + QStringLiteral(" \"")
                + face->text(QAccessible::Name).simplified().left(90) + QLatin1Char('"');
            const QString value = face->text(QAccessible::Value);
            if (!value.isEmpty() && face->role() != QAccessible::EditableText)
                text += QStringLiteral(" = \"") + value.simplified().left(60) + QLatin1Char('"');
            if (state.disabled)
                text += QStringLiteral(" [unavailable]");
            if (state.checked)
                text += QStringLiteral(" [checked]");
            text += QLatin1Char('\n');
            for (int i = 0; i < face->childCount(); ++i)
                dump(face->child(i), depth + 1);
        };
        dump(QAccessible::queryAccessibleInterface(window), 0);
    });
    return text;
}

QString WizardDriver::failure() const
{
    std::lock_guard<std::mutex> guard(shared->lock);
    return shared->firstFailure;
}

void WizardDriver::Fail(const QString& what)
{
    {
        std::lock_guard<std::mutex> guard(shared->lock);
        if (shared->firstFailure.isEmpty())
            shared->firstFailure = what;
        shared->lines << QStringLiteral("%1 FAIL %2").arg(shared->clock.elapsed(), 7).arg(what);
    }
    // Said at once, so a run that is killed later still shows why.
    std::fprintf(stderr, "wizard driver: FAIL %s\n", qPrintable(what));
    std::fflush(stderr);
}

QStringList WizardDriver::log() const
{
    std::lock_guard<std::mutex> guard(shared->lock);
    return shared->lines;
}

void WizardDriver::Note(const QString& line)
{
    std::lock_guard<std::mutex> guard(shared->lock);
    shared->lines << QStringLiteral("%1 %2").arg(shared->clock.elapsed(), 7).arg(line);
}
