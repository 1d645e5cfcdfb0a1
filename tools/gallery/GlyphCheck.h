#pragma once
// Finds the characters of a text that no family of a font's family list can draw (the font's own fallback to
// faces outside the list does not count).

#include <QFont>
#include <QString>
#include <vector>

class GlyphCheck
{
public:
    // The characters of text (spaces and controls aside) for which no family in font.families() has a glyph.
    static std::vector<char32_t> Missing(const QString& text, const QFont& font);
    // "U+4E2D 'x'" for each character, joined by spaces.
    static QString Describe(const std::vector<char32_t>& characters);
};
