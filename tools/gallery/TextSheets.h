#pragma once
// The gallery's language pictures: the texts of the pages, looked up with Text() in each of the six languages,
// drawn by the controls that show them in the boxes the pages give them; every character must have a glyph in
// the control's family list and every text must fit its box.

#include <QString>
#include <QStringList>

class TextSheets
{
public:
    // Writes dir/text/<index>-<language>.png for every language whose pack the program has; every missing glyph
    // and every overflowing text is added to failures.
    static void Render(const QString& dir, QStringList& failures);
};
