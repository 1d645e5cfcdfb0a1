#pragma once
// Off-screen buffer over a given rectangle that starts from what the target shows there; the result is copied
// back over that rectangle when the buffer ends. Printers get the drawing directly.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>

class MemDC2
{
public:
    MemDC2(QPainter& target, int left, int top, int right, int bottom);
    MemDC2(QPainter& target, const QRect& area);
    ~MemDC2();
    MemDC2(const MemDC2&) = delete;
    MemDC2& operator=(const MemDC2&) = delete;

    QPainter& painter() { return printing ? target : *buffer; }
    bool isPrinting() const { return printing; }
    QRect area() const { return rect; }

private:
    QPainter& target;
    QRect rect;
    bool copyBackground = true;
    bool printing = false;
    bool copiedPixels = false;
    QImage bitmap;
    std::unique_ptr<QPainter> buffer;
};
