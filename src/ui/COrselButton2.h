#pragma once
// Picture button whose every state has its own picture; under the mouse the hover picture is drawn with the
// normal picture over it. Caption size 16.

#include "ui/COrselButton.h"

class COrselButton2 : public COrselButton
{
    Q_OBJECT
public:
    explicit COrselButton2(QWidget* parent = nullptr);
    int CaptionSize() const override;

protected:
    void PaintLook(QPainter& painter, int state) const override;
};
