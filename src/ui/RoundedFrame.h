#pragma once
// A rounded box (fill, border, border width, radius) that frames entries and holds an optional one-line text.

#include "ui/Colours.h"
#include "ui/PressableControl.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class RoundedFrame : public PressableControl
{
    Q_OBJECT
public:
    explicit RoundedFrame(QWidget* parent = nullptr);

    void setFill(Argb colour);
    void setBorder(Argb colour, int width = 1);
    void setRadius(int pixels);
    Argb fill() const { return fillColour; }
    Argb border() const { return borderColour; }
    int borderWidth() const { return borderPixels; }
    int radius() const { return cornerRadius; }
    // Switches the text on: family (falls back to "Arial"), text, pixel size, ARGB colour.
    void SetText(const QString& family, const QString& text, int pixelSize, Argb colour);
    QString text() const { return boxText; }
    // A box that opens something when pressed (a drop-down list): the keyboard reaches it and Space presses it.
    // The entry this box frames when it lies over the box rather than in it: the box shows the focus mark while
    // the entry has the keyboard (as it does for entries inside it).
    void setFramedControl(QWidget* control);

    void setPressable(bool on);
    bool pressable() const { return pressableOn; }
    // Does what a click does: emits pressed.
    void Press() override;

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool TakesSpace() const override { return pressableOn; }

private:
    bool framesFocus() const;

    QPointer<QWidget> framed;
    Argb fillColour = 0xFFFFFFFFu;
    Argb borderColour = 0xFF000000u;
    int borderPixels = 1;
    int cornerRadius = 0;
    bool textOn = false;
    bool pressableOn = false;
    QString family;
    QString boxText;
    int size = 14;
    Argb textColour = 0xFF000000u;
};
