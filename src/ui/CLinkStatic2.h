#pragma once
// A link whose text is vertically centred and whose icon sits at a fixed place, 22 x 22; the icon's square is the
// clickable area.

#include "ui/CLinkStatic.h"

#include <QPoint>

class CLinkStatic2 : public CLinkStatic
{
    Q_OBJECT
public:
    explicit CLinkStatic2(QWidget* parent = nullptr);

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
