#include "ui/DeviceText.h"

#include <QTextDocument>

namespace {

bool ChangesDirection(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool BreaksTheLine(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

} // namespace

QString ShownDeviceText(const std::string& text)
{
    return ShownDeviceText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString ShownDeviceText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (ChangesDirection(unit))
            continue;
        shown += BreaksTheLine(unit) ? QChar(u' ') : c;
    }
    return shown;
}

QString PlainToolTip(const QString& text)
{
    if (text.isEmpty() || !Qt::mightBeRichText(text))
        return text;
    // The rich-text form of the plain text: every character escaped, white space kept as it is.
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
