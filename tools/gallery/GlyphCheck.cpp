#include "GlyphCheck.h"

#include <QHash>
#include <QRawFont>

namespace {

// The face a family name resolves to on its own, without merging in other faces.
const QRawFont& RawFont(const QString& family)
{
    static QHash<QString, QRawFont> cache;
    auto it = cache.find(family);
    if (it == cache.end()) {
        QFont font(family);
        font.setPixelSize(16);
        font.setStyleStrategy(QFont::NoFontMerging);
        it = cache.insert(family, QRawFont::fromFont(font));
    }
    return *it;
}

} // namespace

std::vector<char32_t> GlyphCheck::Missing(const QString& text, const QFont& font)
{
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    std::vector<char32_t> missing;
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x21 || QChar::isSpace(code) || (code >= 0x7F && code < 0xA0))
            continue;
        bool found = false;
        for (const QString& family : families) {
            const QRawFont& raw = RawFont(family);
            // A family that is not installed resolves to some other face; it draws nothing of its own.
            const bool installed = raw.isValid() && raw.familyName().compare(family, Qt::CaseInsensitive) == 0;
            if (installed && raw.supportsCharacter(code)) {
                found = true;
                break;
            }
        }
        if (!found && std::find(missing.begin(), missing.end(), code) == missing.end())
            missing.push_back(code);
    }
    return missing;
}

QString GlyphCheck::Describe(const std::vector<char32_t>& characters)
{
    QStringList parts;
    for (const char32_t code : characters)
        parts << QStringLiteral("U+")
                + QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QLatin1Char('0'))
                + QStringLiteral(" '") + QString::fromUcs4(&code, 1) + QLatin1Char('\'');
    return parts.join(QLatin1Char(' '));
}
