#pragma once
// What the one-line text statics share: the text, its font and colour, alignment, the link option and an
// optional second text under the first. The members decide how they draw.

#include "ui/Colours.h"
#include "ui/PressableControl.h"

#include <QString>
#include <QWidget>

class OneLineText : public PressableControl
{
    Q_OBJECT
public:
    explicit OneLineText(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString text() const { return windowText; }

    // Family (already chosen, e.g. by ChooseFontFamily), pixel size, RGB colour, weight.
    void setFontFields(const QString& family, int pixelSize, Rgb colour, bool bold);
    QString fontFamily() const { return family; }
    int fontSize() const { return size; }
    bool bold() const { return boldOn; }
    Rgb colour() const { return textColour; }
    void setColour(Rgb colour);
    void setRightAlign(bool on);
    bool rightAlign() const { return rightAlignOn; }
    void setLink(bool on);
    bool link() const { return linkOn; }
    void setSecondLine(bool on, const QString& text);
    // Does what a click on the link does (nothing when the text is no link).
    void Press() override;

    // The font the text is drawn in now.
    virtual QFont DrawingFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool TakesSpace() const override { return linkOn; }
    // Where the focus mark goes around the text.
    virtual QRect FocusRect() const;

    // Alignment flags of the first text.
    virtual int Alignment() const;
    virtual bool PostsLinkAfterDefault() const { return false; }
    void PaintTexts(QPainter& painter) const;

private:
    QString windowText;
    QString family;
    int size = 14;
    bool boldOn = false;
    Rgb textColour = MakeRgb(0, 0, 0);
    bool rightAlignOn = false;
    bool linkOn = false;
    bool secondLine = false;
    QString secondText;
};
