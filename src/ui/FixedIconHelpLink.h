#pragma once
// A link whose text is vertically centred and whose icon sits at a fixed place, 22 x 22; the icon's square is the
// clickable area.

#include "ui/HelpLink.h"

#include <QPoint>

class FixedIconHelpLink : public HelpLink
{
    Q_OBJECT
public:
    explicit FixedIconHelpLink(QWidget* parent = nullptr);

    void SetFont(int pixelSize, Rgb colour, bool bold = false);
    void setIconPos(int x, int y);
    QPoint iconPos() const { return position; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void Relayout() override;
    QSize IconSize() const override;

private:
    QPoint position { 0, 0 };
};
