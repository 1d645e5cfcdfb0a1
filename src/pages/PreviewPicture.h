#pragma once
// The live preview's picture area: shows the camera's latest picture in its own proportions (bars fill the rest of
// the area), decoded to fit the area on the preview's thread and handed over on the interface thread; says
// "Connecting..." until the first picture and after one that failed.

#include <QImage>
#include <QWidget>
#include <string_view>

class PreviewPicture : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget* parent);

    // Decodes a JPEG for an area of `area` logical pixels at ratio: the picture's size is read from its header
    // first and the picture is decoded scaled to the largest size of its own proportions that fits the area (a
    // picture of 7000 x 3500 never costs its full size in memory). Null when the header or the picture does not
    // decode. `sourceSize` gets the size the header gives.
    static QImage Decode(std::string_view jpeg, QSize area, qreal ratio, QSize* sourceSize = nullptr);

    // Shows a decoded picture (from Decode) / blanks the area. Interface thread only.
    void SetPicture(const QImage& picture, QSize sourceSize);
    void Clear();

    const QImage& picture() const { return shown; }
    QSize pictureSourceSize() const { return source; }
    int picturesShown() const { return shownCount; }
    // Where the picture is drawn: centred in the area at its own size; empty while none is shown.
    QRect pictureRect() const;
    // What the area says while it has no picture ("Connecting..."); empty while a picture shows.
    QString statusText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage shown;
    QSize source;
    int shownCount = 0;
};
