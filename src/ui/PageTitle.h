#pragma once
// A page title: size 32, regular, the system's blue, left-aligned and vertically centred in its box.

#include "ui/OneLineText.h"

class PageTitle : public OneLineText
{
    Q_OBJECT
public:
    explicit PageTitle(QWidget* parent = nullptr);

    // Preset: 32 regular RGB(42, 169, 209).
    void SetStyle();
    QFont DrawingFont() const override;

protected:
    int Alignment() const override;
};
