#pragma once
// Four pictures (PNG 4051 to 4054) of which the page shows one, stretched; index -1 shows nothing.

#include "ui/FittedPicture.h"

#include <QImage>
#include <QWidget>

class PictureSwitch : public QWidget
{
    Q_OBJECT
public:
    explicit PictureSwitch(QWidget* parent = nullptr);

    void setIndex(int index);
    int index() const { return shown; }
    // The picture of slot as painting draws it (scaled to the control's size).
    QImage image(int slot) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FittedPicture picture; // the shown one's
    int loaded = -1; // the slot picture holds
    int shown = -1;
};
