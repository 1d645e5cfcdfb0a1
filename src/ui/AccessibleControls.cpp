#include "ui/AccessibleControls.h"

#include "i18n/Localization.h"
#include "ui/OverlayPictureButton.h"
#include "ui/HelpLink.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/ProgressDots.h"
#include "ui/RoundedFrame.h"
#include "ui/FlowingText.h"
#include "ui/FocusSpot.h"
#include "ui/Messages.h"
#include "ui/OneLineText.h"
#include "ui/WindowMessage.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <map>
#include <utility>

namespace {

constexpr const char* kKeyProperty = "hxtAccessibleKey";
constexpr const char* kFallbackProperty = "hxtAccessibleFallback";
constexpr const char* kLabelProperty = "hxtAccessibleLabel";

InputGate& Gate()
{
    static InputGate gate = nullptr;
    return gate;
}

// What a click or a key on the control would reach: it is enabled and no modal layer covers it.
bool Usable(const QWidget* widget)
{
    return widget != nullptr && widget->isEnabled() && InputReaches(widget);
}

QString PackText(
    const QString& key, const QString& fallback, const QString& value0 = QString(), const QString& value1 = QString())
{
    return QString::fromStdString(
        Text(key.toStdString(), fallback.toStdString(), value0.toStdString(), value1.toStdString()));
}

// A button caption without the arrows that decorate NEXT and BACK.
QString CaptionName(QString caption)
{
    caption = caption.trimmed();
    if (caption.startsWith(QLatin1Char('<')))
        caption = caption.mid(1).trimmed();
    if (caption.endsWith(QLatin1Char('>')))
        caption = caption.chopped(1).trimmed();
    return caption;
}

// A flowing text without its emphasis markup.
QString PlainText(QString text)
{
    text.replace(QStringLiteral("</br>"), QStringLiteral(" "));
    text.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    return text.simplified();
}

QRect GlobalRect(const QWidget* widget, const QRect& local)
{
    if (widget == nullptr || local.isEmpty())
        return QRect();
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

// The widget's own state, with `unavailable` for a control that only looks disabled.
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

// ---- Controls that are widgets ----------------------------------------------------------------------------------

// The common ground: role and state from the control, the name from AccessibleNameOf, and press and toggle
// actions doing what a click does.
class ControlInterface : public QAccessibleWidget
{
public:
    ControlInterface(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return AccessibleNameOf(widget());
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names = pressable() ? QStringList { pressAction() } : QStringList();
        if (toggleable())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if ((name == pressAction() && pressable()) || (name == toggleAction() && toggleable())) {
            if (Usable(widget()))
                press();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

protected:
    virtual bool pressable() const { return false; }
    virtual bool toggleable() const { return false; }
    virtual void press() { }
};

class ButtonInterface : public ControlInterface
{
public:
    explicit ButtonInterface(PictureButton* button)
        : ControlInterface(button, QAccessible::PushButton)
    {
    }

    QAccessible::Role role() const override
    {
        if (!button()->choiceMode())
            return QAccessible::PushButton;
        return button()->radio() ? QAccessible::RadioButton : QAccessible::CheckBox;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(button());
        state.disabled = state.disabled || button()->disabledLook();
        state.pressed = button()->isDown();
        if (button()->choiceMode()) {
            state.checkable = true;
            state.checked = button()->latched();
        }
        return state;
    }

protected:
    bool pressable() const override { return true; }
    bool toggleable() const override { return button()->choiceMode(); }
    void press() override { button()->Press(); }

private:
    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
};

class ImageButtonInterface : public ControlInterface
{
public:
    explicit ImageButtonInterface(OverlayPictureButton* button)
        : ControlInterface(button, QAccessible::PushButton)
    {
    }
    QAccessible::State state() const override { return WidgetState(widget()); }

protected:
    bool pressable() const override { return true; }
    void press() override { static_cast<OverlayPictureButton*>(widget())->Press(); }
};

// A spot over part of an owner-drawn control: a button named by its pack text.
class SpotInterface : public ControlInterface
{
public:
    explicit SpotInterface(FocusSpot* spot)
        : ControlInterface(spot, QAccessible::PushButton)
    {
    }
    QAccessible::State state() const override { return WidgetState(widget()); }

protected:
    bool pressable() const override { return true; }
    void press() override { static_cast<FocusSpot*>(widget())->Press(); }
};

// The one-line texts: static texts, or links when they are switched to links.
class TextInterface : public ControlInterface
{
public:
    explicit TextInterface(OneLineText* text)
        : ControlInterface(text, QAccessible::StaticText)
    {
    }
    QAccessible::Role role() const override { return isLink() ? QAccessible::Link : QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.readOnly = !isLink();
        state.linked = isLink();
        return state;
    }

protected:
    bool pressable() const override { return isLink(); }
    void press() override { static_cast<OneLineText*>(widget())->Press(); }

private:
    bool isLink() const { return static_cast<OneLineText*>(widget())->link(); }
};

class LinkInterface : public ControlInterface
{
public:
    explicit LinkInterface(HelpLink* link)
        : ControlInterface(link, QAccessible::Link)
    {
    }
    QAccessible::Role role() const override { return isLink() ? QAccessible::Link : QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.linked = isLink();
        return state;
    }

protected:
    bool pressable() const override { return isLink(); }
    void press() override { static_cast<HelpLink*>(widget())->Press(); }

private:
    bool isLink() const { return static_cast<HelpLink*>(widget())->overlay() != NO_OVERLAY; }
};

class StaticInterface : public ControlInterface
{
public:
    explicit StaticInterface(QWidget* widget)
        : ControlInterface(widget, QAccessible::StaticText)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.readOnly = true;
        return state;
    }
};

// A box that opens a drop-down list when pressed: a combo whose value is the text it shows.
class DropBoxInterface : public ControlInterface
{
public:
    explicit DropBoxInterface(RoundedFrame* box)
        : ControlInterface(box, QAccessible::ComboBox)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<RoundedFrame*>(widget())->text();
        return ControlInterface::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.hasPopup = true;
        return state;
    }
    QStringList actionNames() const override { return { pressAction(), showMenuAction() }; }
    void doAction(const QString& name) override
    {
        if ((name == pressAction() || name == showMenuAction()) && Usable(widget()))
            static_cast<RoundedFrame*>(widget())->Press();
    }
};

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

// The entries: the text as shown (masked in password mode), editable as typing edits it.
class EditInterface : public ControlInterface, public QAccessibleTextInterface, public QAccessibleEditableTextInterface
{
public:
    explicit EditInterface(QLineEdit* edit)
        : ControlInterface(edit, QAccessible::EditableText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return edit()->displayText();
        return ControlInterface::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t != QAccessible::Value) {
            ControlInterface::setText(t, text);
            return;
        }
        Type(0, edit()->text().size(), text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.editable = !edit()->isReadOnly();
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return ControlInterface::interface_cast(type);
    }

    // Text: what the edit shows, so a password stays masked.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && edit()->hasSelectedText()) {
            *startOffset = edit()->selectionStart();
            *endOffset = *startOffset + static_cast<int>(edit()->selectedText().size());
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return edit()->displayText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(edit()->displayText().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = -1;
        return QString();
    }

    // Editing goes through the edit as typing does: the validator and the length limit apply, and the edit
    // announces the change as a user's.
    void deleteText(int startOffset, int endOffset) override { Type(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString& text) override { Type(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        Type(startOffset, endOffset, text);
    }

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }

    void Type(int startOffset, int endOffset, const QString& text)
    {
        if (edit()->isReadOnly() || !Usable(edit()))
            return;
        edit()->setSelection(startOffset, endOffset - startOffset);
        if (text.isEmpty())
            edit()->del();
        else
            edit()->insert(text);
    }
};

// ---- Parts that are no widgets of their own (combo items, list rows and their cells) ----------------------------

// A part of a control: it lives as long as the control's interface, which keeps it.
class PartInterface : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit PartInterface(QWidget* owner)
        : owner(owner)
    {
    }

    bool isValid() const override { return owner != nullptr && exists(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner != nullptr ? owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override { }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner); }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList keyBindingsForAction(const QString&) const override { return QStringList(); }

protected:
    virtual bool exists() const = 0;
    QPointer<QWidget> owner;
};

class ComboItemInterface : public PartInterface
{
public:
    ComboItemInterface(LanguageCombo* combo, int index)
        : PartInterface(combo)
        , index(index)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return combo()->ItemText(index);
    }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        // Where the item lies in the open list; the combo itself while the list is closed.
        return combo()->current() == index ? GlobalRect(owner, owner->rect()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && combo()->current() == index;
        state.disabled = isValid() && !Usable(owner);
        return state;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString& name) override
    {
        // What a click on the item in the open list does.
        if (name == pressAction() && isValid() && Usable(owner))
            PostWindowMessage(owner, WM_LANGUAGE_SELECTED, index, 0);
    }

private:
    bool exists() const override { return index >= 0 && index < combo()->count(); }
    LanguageCombo* combo() const { return static_cast<LanguageCombo*>(owner.data()); }
    int index;
};

// Parts cached by key, deleted with the control's interface.
class PartCache
{
public:
    ~PartCache()
    {
        for (const auto& [key, id] : ids)
            QAccessible::deleteAccessibleInterface(id);
    }
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
    int IndexOf(const QAccessibleInterface* part) const
    {
        for (const auto& [key, id] : ids) {
            if (QAccessible::accessibleInterface(id) == part)
                return key.first;
        }
        return -1;
    }

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> ids;
};

class ComboInterface : public ControlInterface
{
public:
    explicit ComboInterface(LanguageCombo* combo)
        : ControlInterface(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->ItemText(combo()->current());
        return ControlInterface::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = WidgetState(widget());
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = combo()->list() != nullptr;
        state.collapsed = !state.expanded;
        return state;
    }
    int childCount() const override { return combo()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= combo()->count())
            return nullptr;
        return parts.Get({ index, 0 }, [this, index] { return new ComboItemInterface(combo(), index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return parts.IndexOf(child); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QStringList actionNames() const override { return { pressAction(), showMenuAction() }; }
    void doAction(const QString& name) override
    {
        if ((name == pressAction() || name == showMenuAction()) && Usable(widget()))
            combo()->OpenList();
    }

private:
    LanguageCombo* combo() const { return static_cast<LanguageCombo*>(widget()); }
    PartCache parts;
};

// The lists: a row per item (named by its texts), in it the check cell and the row's button when it has them.
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

// The message an overlay draws itself, as a static text.
class MessagePartInterface : public PartInterface
{
public:
    explicit MessagePartInterface(QWidget* overlay)
        : PartInterface(overlay)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return dynamic_cast<AccessibleOverlay*>(owner.data())->AccessibleMessage();
    }
    QRect rect() const override { return owner != nullptr ? GlobalRect(owner, owner->rect()) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }
    QStringList actionNames() const override { return QStringList(); }
    void doAction(const QString&) override { }

private:
    bool exists() const override { return dynamic_cast<AccessibleOverlay*>(owner.data()) != nullptr; }
};

class OverlayInterface : public QAccessibleWidget
{
public:
    explicit OverlayInterface(QWidget* overlay)
        : QAccessibleWidget(overlay, QAccessible::Dialog)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return box()->AccessibleTitle();
        if (t == QAccessible::Description)
            return box()->AccessibleMessage();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = true;
        return state;
    }
    // The overlay's own controls, then its message when it has one.
    int childCount() const override
    {
        return QAccessibleWidget::childCount() + (box()->AccessibleMessage().isEmpty() ? 0 : 1);
    }
    QAccessibleInterface* child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        if (index == own && !box()->AccessibleMessage().isEmpty())
            return parts.Get({ 0, 0 }, [this] { return new MessagePartInterface(widget()); });
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (parts.IndexOf(child) == 0)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    AccessibleOverlay* box() const { return dynamic_cast<AccessibleOverlay*>(widget()); }
    PartCache parts;
};

QAccessibleInterface* MakeInterface(const QString&, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (dynamic_cast<AccessibleRows*>(widget) != nullptr)
        return new ListInterface(widget);
    if (dynamic_cast<AccessibleOverlay*>(widget) != nullptr)
        return new OverlayInterface(widget);
    if (auto* button = qobject_cast<PictureButton*>(widget))
        return new ButtonInterface(button);
    if (auto* button = qobject_cast<OverlayPictureButton*>(widget))
        return new ImageButtonInterface(button);
    if (auto* spot = qobject_cast<FocusSpot*>(widget))
        return new SpotInterface(spot);
    if (auto* text = qobject_cast<OneLineText*>(widget))
        return new TextInterface(text);
    if (auto* link = qobject_cast<HelpLink*>(widget))
        return new LinkInterface(link);
    if (auto* combo = qobject_cast<LanguageCombo*>(widget))
        return new ComboInterface(combo);
    if (auto* indicator = qobject_cast<ProgressDots*>(widget))
        return new IndicatorInterface(indicator);
    if (auto* edit = qobject_cast<PlainLineEdit*>(widget))
        return new EditInterface(edit);
    if (qobject_cast<FlowingText*>(widget) != nullptr)
        return new StaticInterface(widget);
    if (auto* box = qobject_cast<RoundedFrame*>(widget); box != nullptr && box->pressable())
        return new DropBoxInterface(box);
    if (auto* box = qobject_cast<RoundedFrame*>(widget); box != nullptr && !box->text().isEmpty())
        return new StaticInterface(widget);
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(&MakeInterface);
        return true;
    }();
    (void)installed;
}

void SetInputGate(InputGate gate)
{
    Gate() = gate;
}

bool InputReaches(const QWidget* widget)
{
    return Gate() == nullptr || Gate()(widget);
}

void SetAccessibleText(QWidget* widget, const char* key, const char* fallback)
{
    if (widget == nullptr)
        return;
    widget->setProperty(kKeyProperty, QString::fromUtf8(key));
    widget->setProperty(kFallbackProperty, QString::fromUtf8(fallback));
}

void SetAccessibleLabel(QWidget* widget, QWidget* label)
{
    if (widget != nullptr)
        widget->setProperty(kLabelProperty, QVariant::fromValue(QPointer<QWidget>(label)));
}

QString AccessibleNameOf(const QWidget* widget)
{
    if (widget == nullptr)
        return QString();
    if (const QVariant key = widget->property(kKeyProperty); key.isValid())
        return PackText(key.toString(), widget->property(kFallbackProperty).toString());
    if (const QVariant label = widget->property(kLabelProperty); label.isValid()) {
        if (QWidget* labelWidget = label.value<QPointer<QWidget>>()) {
            // A label reads "Password:"; the control it names is "Password".
            QString name = AccessibleNameOf(labelWidget);
            while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
                name.chop(1);
            return name.trimmed();
        }
    }
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    if (const auto* button = qobject_cast<const PictureButton*>(widget))
        return CaptionName(button->text());
    if (const auto* text = qobject_cast<const OneLineText*>(widget))
        return text->text().simplified();
    if (const auto* text = qobject_cast<const FlowingText*>(widget))
        return PlainText(text->text());
    if (const auto* link = qobject_cast<const HelpLink*>(widget))
        return link->text().simplified();
    if (const auto* box = qobject_cast<const RoundedFrame*>(widget))
        return box->text().simplified();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->placeholderText();
    if (const auto* combo = qobject_cast<const LanguageCombo*>(widget))
        return combo->ItemText(combo->current());
    return widget->toolTip();
}
