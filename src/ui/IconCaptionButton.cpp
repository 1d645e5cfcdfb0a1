#include "ui/IconCaptionButton.h"

#include "ui/Drawing.h"

#include <QPainter>

IconCaptionButton::IconCaptionButton(QWidget* parent)
    : PictureButton(parent)
{
}

void IconCaptionButton::SetIcon(int pngId)
{
    iconPicture.Load(pngId, devicePixelRatioF());
    iconPicture.Fit(QSize(12, 12), devicePixelRatioF());
    update();
}

int IconCaptionButton::CaptionSize() const
{
    return 13;
}

void IconCaptionButton::PaintLook(QPainter& painter, int state) const
{
    if (state == 2)
        DrawImageStretchedWithOpacity(painter, image(2), width(), height(), 0.6);
    else
        DrawImageStretched(painter, image(state), width(), height());
}

void IconCaptionButton::PaintCaption(QPainter& painter) const
{
    if (!text().isEmpty()) {
        painter.setFont(MakeFont(captionFamily(), CaptionSize(), true));
        painter.setPen(Qt::white);
        DrawTextBlock(painter, QRect(28, 0, width() - 28, height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    }
    if (!iconPicture.isNull())
        painter.drawImage(QRectF(14, height() / 2 - 6, 12, 12), iconPicture.image());
}
