#pragma once
// A picture on a plain background colour that opens an overlay: a click posts WM_OPEN_OVERLAY with its kind.

#include "ui/Colours.h"

#include "ui/FittedPicture.h"
#include "ui/PressableControl.h"

#include <QImage>

class OverlayPictureButton : public PressableControl
{
    Q_OBJECT
public:
    explicit OverlayPictureButton(QWidget* parent = nullptr);

    void SetImage(int pngId);
    // The picture as painting draws it (scaled to the control's size).
    const QImage& image() const { return picture.image(); }
    void setBackground(Rgb colour);
    void setOverlayKind(int kind) { overlayKind = kind; }
    int overlay() const { return overlayKind; }
    // Does what a click does (for the keyboard and assistive tools).
    void Press() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    FittedPicture picture;
    Rgb background = MakeRgb(255, 255, 255);
    int overlayKind = -1;
};
