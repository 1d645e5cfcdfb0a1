#pragma once
// What the help overlays share: the alert box look, texts that wrap at a width and are measured before the box
// is placed, bullet points, pictures and a box that sizes itself to its content.

#include "overlays/AlertBox.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"

#include <QImage>
#include <vector>

class GuideBox : public AlertBox
{
    Q_OBJECT
public:
    // The texts drawn in the box, in order (for tests and review).
    QStringList texts() const;
    // Where the texts and pictures lie, together (window coordinates).
    QRect contentRect() const;

protected:
    GuideBox(QWidget* inside, QPoint pagePosition);

    // Places the box: width x height at its top-left corner in window coordinates.
    void placeBox(QPoint topLeft, int width, int height);
    // Places the box centred on the page.
    void centreOnPage(int width, int height);
    QPoint pageOrigin() const { return pagePosition; }

    // Height of text wrapped at width in the box font of that size and weight.
    static int TextHeight(const QString& text, int width, int pixelSize, bool bold);
    // Adds a wrapped text at (x, y) in box coordinates; returns the y below it.
    int addText(const QString& text, int x, int y, int width, int pixelSize, bool bold, QColor colour,
        int alignment = Qt::AlignLeft);
    // Adds a text with a blue bullet before it; returns the y below it.
    int addBullet(const QString& text, int x, int y, int width, int pixelSize, QColor colour);
    // Adds a picture at (x, y) in box coordinates, at its own size, or scaled to size when given.
    QRect addPicture(int pngId, int x, int y, QSize size = QSize());

    void paintEvent(QPaintEvent* event) override;

private:
    struct Item
    {
        QString text;
        QRect rect; // box coordinates
        int size = 14;
        bool bold = false;
        QColor colour;
        int alignment = Qt::AlignLeft;
        bool bullet = false;
        QImage picture;
    };
    std::vector<Item> items;
    QPoint pagePosition;
};

constexpr QColor kGuideBlue { 42, 169, 209 };
constexpr QColor kGuideText { 72, 72, 72 };
