#pragma once
// The licence terms: the end-user licence agreement in a read-only rich-text box, each entry with its own
// character formatting; Close and the close cross end it.

#include "pages/GuideBox.h"

class FadingPictureButton;
class QTextEdit;

class TermsHelp : public GuideBox
{
    Q_OBJECT
public:
    TermsHelp(QWidget* inside, QPoint pagePosition);

    QTextEdit* agreement() const { return textBox; }

    // The keys of the agreement's entries, in the order they are appended.
    static QStringList EntryKeys();

private:
    QTextEdit* textBox = nullptr;
};
