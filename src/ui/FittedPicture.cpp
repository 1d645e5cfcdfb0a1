#include "ui/FittedPicture.h"

#include "ui/Drawing.h"

void FittedPicture::Load(int pngId, qreal ratio)
{
    Reset();
    id = pngId;
    decodedFor = ratio;
    if (auto loaded = LoadPngResource(pngId, ratio))
        decoded = std::move(*loaded);
    fitted = decoded;
}

void FittedPicture::Reset()
{
    id = -1;
    decoded = QImage();
    fitted = QImage();
}

void FittedPicture::Fit(QSize size, qreal ratio)
{
    if (decoded.isNull())
        return;
    if ((ratio > 1.0) != (decodedFor > 1.0)) {
        decodedFor = ratio;
        if (auto loaded = LoadPngResource(id, ratio))
            decoded = std::move(*loaded);
        fitted = QImage();
    }
    if (size.isEmpty()) {
        fitted = decoded;
        return;
    }
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (fitted.size() == pixels && fitted.devicePixelRatio() == ratio)
        return; // fitted to that size already
    fitted = FitPicture(decoded, size, ratio);
}
