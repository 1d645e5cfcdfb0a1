#pragma once
// Picture button whose every state has its own picture; under the mouse the hover picture is drawn with the
// normal picture over it. Caption size 16.

#include "ui/PictureButton.h"

class LayeredPictureButton : public PictureButton
{
    Q_OBJECT
public:
    explicit LayeredPictureButton(QWidget* parent = nullptr);
    int CaptionSize() const override;

protected:
    void PaintLook(QPainter& painter, int state) const override;
};
