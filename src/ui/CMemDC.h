#pragma once
// Paint-time double buffer: a paint handler draws into it instead of its target, and the whole result reaches
// the target in one copy when the buffer ends, so no intermediate state shows. Printers get the drawing directly.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>

class CMemDC
{
public:
    // Covers the target's clip box (the whole device when it has none).
    explicit CMemDC(QPainter& target);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // Where to draw, in the target's coordinates.
    QPainter& painter() { return buffered ? *buffer : target; }
    bool isBuffered() const { return buffered; }
    QRect area() const { return rect; }

private:
    QPainter& target;
    QRect rect;
    bool buffered = false;
    QImage bitmap;
    std::unique_ptr<QPainter> buffer;
};

// True when drawing to this device must go straight through (a printer, or a recording of the drawing).
bool IsPrinterDevice(const QPaintDevice* device);
