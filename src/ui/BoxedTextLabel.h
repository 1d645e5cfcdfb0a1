#pragma once
// One text of size 16 in the system's blue, drawn off screen over what lies under it; left- or right-aligned,
// optionally a link.

#include "ui/OneLineText.h"

class BoxedTextLabel : public OneLineText
{
    Q_OBJECT
public:
    explicit BoxedTextLabel(QWidget* parent = nullptr);

    // Preset: 16 regular RGB(42, 169, 209).
    void SetStyle();
    void SetFont(int pixelSize, Rgb colour, bool bold);
    // Width of the text alone.
    int TextWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
