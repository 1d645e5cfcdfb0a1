#include "ui/CMemDC.h"

#include <QPaintDevice>

bool IsPrinterDevice(const QPaintDevice* device)
{
    if (device == nullptr)
        return true;
    const int type = device->devType();
    return type == QInternal::Printer || type == QInternal::Picture;
}

CMemDC::CMemDC(QPainter& target)
    : target(target)
{
    QPaintDevice* device = target.device();
    if (IsPrinterDevice(device))
        return;
    rect = target.hasClipping() ? target.clipBoundingRect().toAlignedRect()
                                : QRect(0, 0, device->width(), device->height());
    if (rect.isEmpty())
        return;
    const qreal ratio = device->devicePixelRatioF();
    bitmap = QImage(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    bitmap.setDevicePixelRatio(ratio);
    bitmap.fill(Qt::transparent);
    buffer = std::make_unique<QPainter>(&bitmap);
    buffer->translate(-rect.topLeft());
    buffered = true;
}

CMemDC::~CMemDC()
{
    if (!buffered)
        return;
    buffer->end();
    // What lies under the control is already on the target: the buffer goes over it in one step.
    target.drawImage(rect.topLeft(), bitmap);
}
