#include "pages/TermsHelp.h"

#include "i18n/Localization.h"
#include "ui/FadingPictureButton.h"
#include "ui/Drawing.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 520;

} // namespace

QStringList TermsHelp::EntryKeys()
{
    QStringList keys;
    for (int i = 1; i <= 20; ++i) {
        keys << QStringLiteral("eula_%1").arg(i, 2, 10, QLatin1Char('0'));
        if (i == 16)
            keys << QStringLiteral("eula_16_1");
    }
    return keys;
}

TermsHelp::TermsHelp(QWidget* inside, QPoint pagePosition)
    : GuideBox(inside, pagePosition)
{
    setObjectName(QStringLiteral("termsHelp"));
    centreOnPage(kWidth, kHeight);

    textBox = new QTextEdit(this);
    textBox->setObjectName(QStringLiteral("agreement"));
    textBox->setReadOnly(true);
    // The keyboard reads it too: Tab reaches it (the overlay opens with it), the arrows, Page Up/Down, Space and
    // Home/End scroll it, and a focus mark in the toolkit's colour shows it has the keys.
    textBox->setFocusPolicy(Qt::StrongFocus);
    textBox->setTabChangesFocus(true);
    textBox->setAccessibleName(FromUtf8(Text("veskor_11", "Terms and Conditions")));
    textBox->setGeometry(box.x() + 28, box.y() + 48, kWidth - 56, kHeight - 48 - 43 - 44);
    textBox->setStyleSheet(QStringLiteral(
        "QTextEdit { border: 1px solid #e1e4e8; border-radius: 4px; background: white; padding: 8px 4px; }"
        "QTextEdit:focus { border: 2px solid #156e94; padding: 7px 3px; }"
        "QScrollBar:vertical { width: 8px; background: transparent; margin: 2px; }"
        "QScrollBar::handle:vertical { background: #c4c4c4; border-radius: 3px; min-height: 30px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));

    const QString family = ChooseFontFamily(QStringLiteral("Verdana"));
    QTextCursor cursor(textBox->document());
    bool first = true;
    for (const QString& key : EntryKeys()) {
        const std::string text = Text(key.toStdString(), key.toStdString());
        const bool title = key == QStringLiteral("eula_01");
        const int number = key.mid(5, 2).toInt();
        const bool heading = !title && key.size() == 7 && number % 2 == 1;
        QTextBlockFormat block;
        block.setAlignment(title ? Qt::AlignHCenter : Qt::AlignLeft);
        block.setTopMargin(title ? 2 : heading ? 12 : 4);
        block.setBottomMargin(title ? 8 : 2);
        block.setLineHeight(heading || title ? 100 : 125, QTextBlockFormat::ProportionalHeight);
        QTextCharFormat character;
        character.setFont(MakeFont(family, title ? 15 : heading ? 13 : 12, title || heading));
        character.setForeground(title ? QColor(42, 169, 209) : heading ? QColor(43, 54, 64) : QColor(90, 90, 90));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        cursor.insertText(FromUtf8(text), character);
        first = false;
    }
    textBox->moveCursor(QTextCursor::Start);

    AddButton(FromUtf8(Text("Close", "Close")), -1, kHeight - 43 - 22, IDOK, kWidth / 2)
        ->setObjectName(QStringLiteral("closeButton"));
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}
