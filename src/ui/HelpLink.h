#pragma once
// A text followed by an icon (or with the icon at its left) that opens an overlay: a click on the icon posts
// WM_OPEN_OVERLAY with the link's overlay kind to the page.

#include "ui/Colours.h"

#include "ui/FittedPicture.h"
#include "ui/PressableControl.h"

#include <QImage>
#include <QRect>
#include <QStringList>

class QPainter;

class HelpLink : public PressableControl
{
    Q_OBJECT
public:
    explicit HelpLink(QWidget* parent = nullptr);

    // Family "Verdana" (else "Arial"), pixel size, RGB colour.
    void SetFont(int pixelSize, Rgb colour);
    // Sets the text, cuts it into words and lines and places the link rectangle after the last line.
    void SetText(const QString& text);
    // Releases the icon, then loads PNG id into it.
    void SetIcon(int pngId);

    QString text() const { return windowText; }
    const QStringList& words() const { return wordList; }
    const QStringList& lines() const { return lineList; }
    QRect linkRect() const { return link; }
    // The area that reacts to the mouse.
    QRect ActiveRect() const;
    // The icon as painting draws it (scaled to its place).
    const QImage& icon() const { return iconPicture.image(); }

    // The overlay a click on the link opens (NO_OVERLAY: none; the link then takes no keyboard focus).
    void setOverlayKind(int kind);
    int overlay() const { return overlayKind; }
    void setIconLeft(bool on);
    void setLineSpacing(int pixels);
    // Does what a click on the link does.
    void Press() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The focus mark around the link's icon, for the members' paintEvent.
    void PaintFocus(QPainter& painter) const;
    void resizeEvent(QResizeEvent* event) override;

    QFont TextFont() const;
    virtual void Relayout();
    // The size the icon is drawn at.
    virtual QSize IconSize() const;
    // Lays the text out again and fits the icon to its place.
    void Reflow();
    void setFontFields(int pixelSize, Rgb colour, bool bold);
    void setLinkRect(const QRect& rect) { link = rect; }
    bool iconLeft() const { return iconLeftOn; }
    Rgb colour() const { return textColour; }
    int lineHeight() const;

private:
    QString windowText;
    QString family;
    int size = 12;
    bool bold = false;
    Rgb textColour = MakeRgb(0, 0, 0);
    QStringList wordList;
    QStringList lineList;
    int lineSpacing = 4;
    FittedPicture iconPicture;
    bool iconLeftOn = false;
    QRect link { 0, 0, 24, 24 };
    int overlayKind = -1;
};
