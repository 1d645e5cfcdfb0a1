#pragma once
// A control's picture: decoded from the resources for the control's screen when it is assigned (1x or 2x), and
// scaled smoothly, once, to the size the control draws it at, so painting only copies pixels.

#include <QImage>
#include <QSize>

class FittedPicture
{
public:
    // Releases the picture, then decodes PNG id for a screen of pixel ratio `ratio`. Empty when it does not load.
    void Load(int pngId, qreal ratio);
    void Reset();
    // Scales the picture to size (logical pixels) for a screen of pixel ratio `ratio`; an empty size keeps it as
    // decoded. Only the scaled copy is kept: the picture is decoded again when the screen changed between 1x and 2x
    // or a later fit asks for another size.
    void Fit(QSize size, qreal ratio);

    // What painting draws: the picture at its fitted size (as decoded before any fit).
    const QImage& image() const { return fitted; }
    bool isNull() const { return fitted.isNull(); }
    // The picture's own size in logical pixels (the 1x size), whatever it is fitted to; empty without a picture.
    QSize naturalSize() const { return natural; }

private:
    int id = -1;
    qreal decodedFor = 1.0; // the pixel ratio the picture was decoded for
    QSize natural;
    QImage decoded; // kept only while fitted is the decoded picture itself
    QImage fitted;
};
