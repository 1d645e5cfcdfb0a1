// Paths of the program's pictures in the Qt resources, and loading at the screen's pixel ratio.
// Pictures are addressed by their numeric resource ids; each ships at 1x and at 2x ("@2x").
#pragma once

#include <QImage>
#include <QString>

class ArtResource
{
public:
    // ":/png/<id>.png": the PNG pictures (buttons, icons, illustrations, spinner frames).
    static QString pngPath(int id);
    // ":/bmp/<id>.png": the 860 x 640 page backgrounds (and bitmap 3007).
    static QString bitmapPath(int id);
    // ":/icon/3159.png" (256 px); ":/icon/3159.ico" holds 16 to 256 px.
    static QString iconPath(int id);

    // The picture at `path1x`, or its "@2x" twin when devicePixelRatio is above 1 and the twin exists; the
    // image's devicePixelRatio is set so that it keeps its 1x logical size. Null image when neither loads.
    static QImage load(const QString& path1x, qreal devicePixelRatio);
};
