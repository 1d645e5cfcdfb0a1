#pragma once
// What the alert overlays share: an opaque white box with a light grey rounded border on a layer over the
// window, a badge, a title and a wrapped text drawn in the toolkit's fonts, caption buttons and a close cross.

#include "overlays/ModalLayer.h"
#include "ui/AccessibleControls.h"

#include <QImage>
#include <QRect>
#include <QString>

class PictureButton;
class FadingPictureButton;

class AlertBox : public ModalLayer, public AccessibleOverlay
{
    Q_OBJECT
public:
    // The box's place in window coordinates.
    QRect boxRect() const { return box; }
    QString title() const { return titleText; }
    QString message() const { return messageText; }
    // A box without a title is named by its message.
    QString AccessibleTitle() const override { return titleText.isEmpty() ? messageText : titleText; }
    QString AccessibleMessage() const override { return messageText; }

protected:
    // The box at pagePosition + offset, of size.
    AlertBox(QWidget* inside, QPoint pagePosition, QPoint offset, QSize size);

    // A caption button (118 x 43, wider when the caption needs it) whose click ends the box with result; its
    // top-left corner in box coordinates, or centred on centreX when x is negative.
    FadingPictureButton* AddButton(const QString& caption, int x, int y, int result, int centreX = -1);
    // Two caption buttons of one width side by side, centred in the box at y.
    void AddButtonPair(const QString& left, int leftResult, const QString& right, int rightResult, int y);
    // The small close cross (14 x 14) at the box's top right, 15 pixels from the top.
    PictureButton* AddCloseCross(int result);

    void setBadge(int pngId, QRect where);
    void setTitle(const QString& text, QRect where, int pixelSize, QColor colour, int alignment);
    void setMessage(const QString& text, QRect where, int pixelSize, QColor colour, int alignment);
    void setPicture(int pngId, QRect where);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QRect box;

private:
    QImage badge;
    QRect badgeRect;
    QString titleText;
    QRect titleRect;
    int titleSize = 20;
    QColor titleColour;
    int titleAlignment = 0;
    QString messageText;
    QRect messageRect;
    int messageSize = 14;
    QColor messageColour;
    int messageAlignment = 0;
    QImage picture;
    QRect pictureRect;
};

// UTF-8 text of the core as a widget text.
QString FromUtf8(const std::string& text);
