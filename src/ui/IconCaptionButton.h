#pragma once
// Picture button with a small icon at its left and a left-aligned caption of size 13; the pressed state is the
// pressed picture at 0.6 opacity. As a toggle it never posts.

#include "ui/PictureButton.h"

class IconCaptionButton : public PictureButton
{
    Q_OBJECT
public:
    explicit IconCaptionButton(QWidget* parent = nullptr);

    // Releases the icon, then loads PNG id into it.
    void SetIcon(int pngId);
    const QImage& icon() const { return iconPicture.image(); }
    int CaptionSize() const override;

protected:
    void PaintLook(QPainter& painter, int state) const override;
    void PaintCaption(QPainter& painter) const override;
    bool PostsToggle() const override { return false; }

private:
    FittedPicture iconPicture; // drawn 12 x 12
};
