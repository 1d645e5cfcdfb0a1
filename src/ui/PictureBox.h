#pragma once
// One picture stretched over the control; nothing else.

#include "ui/FittedPicture.h"

#include <QImage>
#include <QWidget>

class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Releases the picture, then loads PNG id.
    void SetImage(int pngId);
    // The picture as painting draws it (scaled to the control's size).
    const QImage& image() const { return picture.image(); }
    // The picture's own size (logical pixels); empty without a picture.
    QSize pictureSize() const { return picture.naturalSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FittedPicture picture;
};
