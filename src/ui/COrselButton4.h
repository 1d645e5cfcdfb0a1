#pragma once
// Picture button that shows its pressed state as the normal picture at half opacity, at its own size.
// Caption size 15, or 16 with largeCaption.

#include "ui/COrselButton.h"

class COrselButton4 : public COrselButton
{
    Q_OBJECT
public:
    explicit COrselButton4(QWidget* parent = nullptr);
    int CaptionSize() const override;

protected:
    void PaintLook(QPainter& painter, int state) const override;
};
