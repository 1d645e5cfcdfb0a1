#pragma once
// The entry of the password and account fields: a plain frameless line edit; in password mode every
// character shows as U+25CF.

#include <QLineEdit>

class PlainLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit PlainLineEdit(QWidget* parent = nullptr);

    static constexpr char16_t kMaskCharacter = u'\u25CF';

    void setPasswordMode(bool on);
    bool passwordMode() const { return echoMode() == QLineEdit::Password; }
    // Family "Verdana" (else "Arial") at pixelSize.
    void SetFont(int pixelSize);
    // The text as the user sees it.
    QString DisplayedText() const;
};
