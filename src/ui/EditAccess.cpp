#include "ui/EditAccess.h"

#include "ui/ControlAccess.h"
#include "ui/PlainLineEdit.h"

#include <QLineEdit>

namespace {

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

} // namespace

QAccessibleInterface* EditAccessFor(QWidget* widget)
{
    if (auto* edit = qobject_cast<PlainLineEdit*>(widget))
        return new EditInterface(edit);
    return nullptr;
}
