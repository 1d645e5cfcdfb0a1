#pragma once
// Picture button that shows its pressed state as the normal picture at half opacity, at its own size.
// Caption size 15, or 16 with largeCaption.

#include "ui/PictureButton.h"

class FadingPictureButton : public PictureButton
{
    Q_OBJECT
public:
    explicit FadingPictureButton(QWidget* parent = nullptr);
    int CaptionSize() const override;

protected:
    void PaintLook(QPainter& painter, int state) const override;
};
