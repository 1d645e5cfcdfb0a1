#pragma once
// Test helpers: a page stand-in that records the window messages posted to it, and pixel reads of a rendering.

#include "../support/MessageRecorder.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

// A white page that records every window message it receives and counts the mouse presses that reach it (a
// press on the page background starts moving the window).
class MessagePage : public MessageRecorder
{
public:
    int presses = 0;

    explicit MessagePage(QWidget* parent = nullptr)
        : MessageRecorder(parent)
    {
        setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
        resize(400, 300);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// The page as drawn now, its children included.
inline QImage Render(QWidget& page)
{
    QImage image(page.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    page.render(&image);
    return image;
}

// True when the colours differ by at most tolerance in every channel.
inline bool Near(QColor a, QColor b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

inline QByteArray Describe(QColor c)
{
    return QByteArray::number(c.red()) + "," + QByteArray::number(c.green()) + "," + QByteArray::number(c.blue());
}
