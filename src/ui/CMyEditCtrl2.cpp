#include "ui/CMyEditCtrl2.h"

#include "ui/Drawing.h"

CMyEditCtrl2::CMyEditCtrl2(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    // The mask character of the style, whatever the style would pick.
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; background: transparent; }")
                      .arg(static_cast<int>(kMaskCharacter)));
}

void CMyEditCtrl2::setPasswordMode(bool on)
{
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void CMyEditCtrl2::SetFont(int pixelSize)
{
    setFont(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, false));
}

QString CMyEditCtrl2::DisplayedText() const
{
    return displayText();
}
