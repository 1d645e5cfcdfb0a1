#pragma once
// The HiDPI pass of the gallery: at device pixel ratio 2 the controls must draw the 2x artwork pixel for pixel
// (not the 1x picture scaled up) and text at full resolution; a few controls and texts are rendered to look at.

#include <QString>
#include <QStringList>

class SharpnessCheck
{
public:
    // Writes dir/*.png; a blurry or low-resolution rendering is added to failures.
    static void Render(const QString& dir, QStringList& failures);
};
