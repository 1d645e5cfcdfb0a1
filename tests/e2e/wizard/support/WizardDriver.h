#pragma once
// A user at the wizard through its accessibility interfaces: finds controls by role and name (names as the chosen
// language's pack gives them), presses, toggles, types and reads what the wizard says. It runs on a thread of its
// own while the interface thread runs the wizard, so a press that opens a modal box never blocks the user.

#include <QAccessible>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

// How a control is looked up: its role and its name. Names are compared without the decoration around them
// (arrows of NEXT and BACK, a trailing colon, runs of blanks) and regardless of case.
struct Control
{
    Control(QAccessible::Role role = QAccessible::NoRole, QString name = {}, bool contains = false, int index = 0,
        QString within = {})
        : role(role)
        , name(std::move(name))
        , contains(contains)
        , index(index)
        , within(std::move(within))
    {
    }
    QAccessible::Role role = QAccessible::NoRole; // NoRole: any role
    QString name; // empty: any name
    bool contains = false; // the name only needs to hold the text
    int index = 0; // the index-th match in reading order; -1: the last one (the top-most box)
    QString within; // only inside a control whose name holds this text (a row, a box); empty: anywhere

    static Control Button(const QString& name) { return { QAccessible::PushButton, name }; }
    static Control Edit(const QString& name) { return { QAccessible::EditableText, name }; }
    static Control Text(const QString& text) { return { QAccessible::StaticText, text, true, -1 }; }
    // Inside the top-most box (a dialog over the page: an alert, the waiting box, a password overlay).
    static Control InBox(QAccessible::Role role, const QString& name = {}) { return { role, name, false, -1, Box() }; }
    static QString Box() { return QStringLiteral("\u27E6box\u27E7"); }
    QString Describe() const;
};

// One control as it was seen: what it is called, its value and state.
struct Seen
{
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString value;
    QString description;
    QAccessible::State state;
    int children = 0;
    bool Available() const { return !state.disabled && !state.invisible; }
};

class WizardDriver
{
public:
    // window: the wizard's top-level window. Every wait is bounded by its own limit; stepLimitMs is the default.
    explicit WizardDriver(QWidget* window, int stepLimitMs = 20000);

    // Runs fn on the interface thread and waits for it (at most limitMs). False when it did not run in time.
    bool OnGui(const std::function<void()>& fn, int limitMs = 8000);

    // A text of the current language pack (the wizard's Text), looked up on the interface thread.
    QString Pack(const char* key, const char* fallback, const std::string& value0 = {});

    // The control as it is now, if it is there and shown.
    std::optional<Seen> Look(const Control& control);
    // The children of a control (rows of a list, items of a combo), in order.
    QList<Seen> Children(const Control& control);
    bool Exists(const Control& control) { return Look(control).has_value(); }

    // Waits until the control is there, shown and (when available is set) not disabled.
    bool WaitFor(const Control& control, int limitMs = -1, bool available = true);
    // Waits for the control to be usable, then does what a click does (the press action; toggle for checks). The
    // action runs on the interface thread after this returns, so a box it opens does not block the caller.
    bool Press(const Control& control, int limitMs = -1);
    bool Toggle(const Control& control, int limitMs = -1);
    // The index-th child of a control (a combo's item, a list's row) pressed.
    bool PressChild(const Control& parent, int child, int limitMs = -1);
    // The items of a combo: its own children, or (a combo whose list is a control of its own) those of the list it
    // opens when pressed; the list stays open.
    QList<Seen> OpenItems(const Control& combo, int limitMs = -1);
    // Chooses the index-th item of a combo as a user does: opens it if its items are a list of their own, then
    // presses the item.
    bool ChooseItem(const Control& combo, int item, int limitMs = -1);
    // Replaces the text of an edit through its editable-text interface, as typing it would.
    bool SetText(const Control& edit, const QString& text, int limitMs = -1);

    // Every text the wizard shows now: static texts, boxes' names and messages, in reading order.
    QStringList Texts();
    // Waits until a shown text holds text (compared as names are); the text found goes to seen.
    bool WaitForText(const QString& text, int limitMs = -1, QString* seen = nullptr);
    // Waits until none of the shown texts holds text.
    bool WaitForNoText(const QString& text, int limitMs = -1);
    // The progress step the page shows (pages 2 to 12 are steps 1 to 11; 0 on page 1 or when there is none).
    int Step();
    bool WaitForStep(int step, int limitMs = -1);

    // Polls pred every few milliseconds until it holds; false after limitMs.
    bool WaitUntil(const std::function<bool()>& pred, int limitMs = -1);

    // The window closed from outside (the window manager's close).
    bool CloseWindow();
    // Whether the wizard's window is gone (its frame closed or destroyed).
    bool WindowGone();

    // The whole tree as it is now, one control per line, for failure messages.
    QString Dump();

    // The first failure of a step (what was looked for, how long), empty when all went well; later failures are
    // added to the log only.
    QString failure() const;
    void Fail(const QString& what);
    QStringList log() const;
    void Note(const QString& line);

    int stepLimit() const { return stepLimitMs; }
    static bool Matches(const QString& name, const QString& wanted, bool contains);
    static QString Normalise(QString text);

private:
    int limitOr(int limitMs) const { return limitMs < 0 ? stepLimitMs : limitMs; }
    bool act(const Control& control, int limitMs, const QString& action, int child = -1);

    QPointer<QWidget> window;
    int stepLimitMs;
    struct Shared;
    std::shared_ptr<Shared> shared;
};
