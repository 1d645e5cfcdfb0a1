#pragma once
// Looks at what a widget tree shows for the effects a text from a device must never have: a tooltip that Qt renders
// as rich text (a picture, dressed-up text, a link), and control or direction characters in a shown text.

#include "overlays/AlertBox.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QWidget>

inline bool IsDirectionControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

inline bool IsControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// What is wrong with a text as shown: a control character (a line break only where lines are allowed) or a
// direction control in it.
inline QString ShownTextFault(const QString& text, bool lines = false)
{
    for (const QChar c : text) {
        if (IsDirectionControl(c))
            return QStringLiteral("direction control U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        if (IsControlCharacter(c) && !(lines && c == QLatin1Char('\n')))
            return QStringLiteral("control character U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QString();
}

// What a tooltip does when Qt renders it: rich text (Qt decides by Qt::mightBeRichText) that draws a picture or
// an object, dresses text (bold, italic, underline, a size, a link) or lays out blocks; empty when it reads as
// plain text.
inline QString ToolTipEffect(const QString& tip)
{
    if (tip.isEmpty())
        return QString();
    QTextDocument shown;
    if (!Qt::mightBeRichText(tip)) {
        return ShownTextFault(tip, true);
    }
    shown.setHtml(tip);
    const QString plain = shown.toPlainText();
    if (plain.contains(QChar::ObjectReplacementCharacter))
        return QStringLiteral("draws an object: ") + tip;
    const QFont normal = shown.defaultFont();
    for (QTextBlock block = shown.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontWeight() > QFont::Normal || format.fontItalic() || format.fontUnderline()
                || format.isAnchor() || format.hasProperty(QTextFormat::FontPixelSize)
                || format.hasProperty(QTextFormat::FontSizeAdjustment)
                || (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() != normal.pointSizeF()))
                return QStringLiteral("dresses text: ") + tip;
        }
    }
    return ShownTextFault(plain, true);
}

// Every rich-text effect and every control shown under root: tooltips of the widgets, alert messages, texts and
// tooltips of table cells.
inline QStringList RichTextEffects(QWidget* root)
{
    QStringList effects;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (const QString effect = ToolTipEffect(widget->toolTip()); !effect.isEmpty())
            effects << widget->objectName() + QStringLiteral(" tooltip: ") + effect;
        if (auto* alert = qobject_cast<AlertBox*>(widget)) {
            if (const QString fault = ShownTextFault(alert->message(), true); !fault.isEmpty())
                effects << alert->objectName() + QStringLiteral(" message: ") + fault;
        }
        if (auto* table = qobject_cast<QTableWidget*>(widget)) {
            for (int row = 0; row < table->rowCount(); ++row) {
                for (int column = 0; column < table->columnCount(); ++column) {
                    const QTableWidgetItem* cell = table->item(row, column);
                    if (cell == nullptr)
                        continue;
                    const QString where = QStringLiteral("cell %1,%2 ").arg(row).arg(column);
                    if (const QString fault = ShownTextFault(cell->text()); !fault.isEmpty())
                        effects << where + QStringLiteral("text: ") + fault;
                    if (const QString effect = ToolTipEffect(cell->toolTip()); !effect.isEmpty())
                        effects << where + QStringLiteral("tooltip: ") + effect;
                }
            }
        }
    }
    return effects;
}
