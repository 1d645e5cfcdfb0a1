#pragma once
// The gallery's control pictures: every control of the toolkit in each of its looks, with the program's own
// artwork, written as one sheet per control family.

#include <QString>
#include <QStringList>

class ControlSheets
{
public:
    // Writes the sheets into dir/controls; a sheet that cannot be written is a failure.
    static void Render(const QString& dir, QStringList& failures);
};
