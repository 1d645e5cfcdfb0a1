#pragma once
// One text in a box: left-aligned, right-aligned or centred, optionally a link, optionally with a second text
// under it. The page's titles, labels and the version line are of this kind.

#include "ui/OneLineText.h"

class TextLabel : public OneLineText
{
    Q_OBJECT
public:
    explicit TextLabel(QWidget* parent = nullptr);

    // Family "Verdana" (else "Arial"), size in pixels, RGB colour, weight.
    void SetFont(int pixelSize, Rgb colour, bool bold);
    // Preset: "Tahoma" (else "Arial") 14 bold black.
    void SetStyle();
    // Title preset: "Verdana" (else "Arial") 32; colour and weight unchanged.
    void SetTitleStyle();
    void setCentre(bool on);
    bool centre() const { return centreOn; }

    // Width of the text followed by "..." in the regular weight of the font.
    int TextWidth() const;

protected:
    int Alignment() const override;

private:
    bool centreOn = false;
};
