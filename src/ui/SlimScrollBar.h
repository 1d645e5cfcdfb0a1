#pragma once
// The slim vertical scroll bar beside a report list: a picture band at the top and a grey thumb that follows
// the list's scroll position; dragging the thumb scrolls the list, a click beside it pages up or down.

#include "ui/FittedPicture.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QAbstractItemView;

class SlimScrollBar : public QWidget
{
    Q_OBJECT
public:
    // The thumb is never shorter than this (the height fitted to a long list would be a pixel, or none).
    static constexpr int kMinThumbHeight = 20;

    explicit SlimScrollBar(QWidget* parent = nullptr);

    // Follows list: its own scroll bar is hidden, and the thumb is updated whenever the list scrolls.
    void Attach(QAbstractItemView* list);
    // Releases the top picture, then loads PNG id.
    void SetImage(int pngId);
    // Moves the thumb to the list's scroll position.
    void Update();
    // Sizes the thumb from the list's rows, at least kMinThumbHeight high, and moves it to the list's position.
    void FitThumb();

    int topMargin() const { return top; }
    int thumbTop() const { return thumbY; }
    int thumbHeight() const { return thumbH; }
    double ratio() const { return pixelsPerUnit; }
    bool dragging() const { return drag; }
    bool ThumbVisible() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int ScrollLimit() const;
    int ScrollPos() const;
    void ClampThumb();

    QPointer<QAbstractItemView> list;
    int top = 32;
    int thumbY = 32;
    int thumbH = 32;
    double pixelsPerUnit = 0;
    bool drag = false;
    bool pressOnThumb = false;
    FittedPicture topImage; // fitted to the top band
};
