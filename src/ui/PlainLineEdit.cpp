#include "ui/PlainLineEdit.h"

#include "ui/Drawing.h"

PlainLineEdit::PlainLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    // The mask character of the style, whatever the style would pick.
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; background: transparent; }")
                      .arg(static_cast<int>(kMaskCharacter)));
}

void PlainLineEdit::setPasswordMode(bool on)
{
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void PlainLineEdit::SetFont(int pixelSize)
{
    setFont(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, false));
}

QString PlainLineEdit::DisplayedText() const
{
    return displayText();
}
