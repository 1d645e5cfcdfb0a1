#include "ui/MemDC2.h"

#include "ui/CMemDC.h"

MemDC2::MemDC2(QPainter& target, int left, int top, int right, int bottom)
    : MemDC2(target, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)))
{
}

MemDC2::MemDC2(QPainter& target, const QRect& area)
    : target(target)
    , rect(area)
{
    QPaintDevice* device = target.device();
    printing = IsPrinterDevice(device);
    if (printing || rect.isEmpty()) {
        printing = true;
        return;
    }
    const qreal ratio = device->devicePixelRatioF();
    bitmap = QImage(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    bitmap.setDevicePixelRatio(ratio);
    bitmap.fill(Qt::transparent);
    if (copyBackground && device->devType() == QInternal::Image) {
        // The target's own pixels are readable: start from an exact copy of them.
        const auto* source = static_cast<const QImage*>(device);
        const QTransform toDevice = target.deviceTransform();
        const QRect deviceRect = toDevice.mapRect(QRectF(rect)).toAlignedRect();
        bitmap = source->copy(deviceRect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        bitmap.setDevicePixelRatio(ratio);
        copiedPixels = true;
    }
    // On a widget, Qt has already painted what lies under it into the backing store, so drawing the buffer over
    // the target shows the same as starting from a copy of it.
    buffer = std::make_unique<QPainter>(&bitmap);
    buffer->translate(-rect.topLeft());
}

MemDC2::~MemDC2()
{
    if (printing)
        return;
    buffer->end();
    target.save();
    if (copiedPixels)
        target.setCompositionMode(QPainter::CompositionMode_Source);
    target.drawImage(rect.topLeft(), bitmap);
    target.restore();
}
