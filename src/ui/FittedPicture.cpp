#include "ui/FittedPicture.h"

#include "ui/Drawing.h"

void FittedPicture::Load(int pngId, qreal ratio)
{
    Reset();
    id = pngId;
    decodedFor = ratio;
    if (auto loaded = LoadPngResource(pngId, ratio))
        decoded = std::move(*loaded);
    natural = decoded.deviceIndependentSize().toSize();
    fitted = decoded;
}

void FittedPicture::Reset()
{
    id = -1;
    natural = QSize();
    decoded = QImage();
    fitted = QImage();
}

void FittedPicture::Fit(QSize size, qreal ratio)
{
    if (id < 0 || natural.isEmpty())
        return;
    const bool screenChanged = (ratio > 1.0) != (decodedFor > 1.0);
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (!screenChanged && !size.isEmpty() && fitted.size() == pixels && fitted.devicePixelRatio() == ratio)
        return; // fitted to that size already
    if (screenChanged || decoded.isNull()) {
        decodedFor = ratio;
        auto loaded = LoadPngResource(id, ratio);
        decoded = loaded ? std::move(*loaded) : QImage();
    }
    fitted = size.isEmpty() ? decoded : FitPicture(decoded, size, ratio);
    // A scaled copy is all painting needs; the picture is decoded again when a new size or screen asks for it.
    if (fitted.cacheKey() != decoded.cacheKey())
        decoded = QImage();
}
