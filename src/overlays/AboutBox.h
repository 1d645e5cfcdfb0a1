#pragma once
// The program's about box (the frame's menu and F1): its name and version in the chosen language, with an OK
// button, over the dimmed wizard.

#include "overlays/AlertBox.h"

class AboutBox : public AlertBox
{
    Q_OBJECT
public:
    // Over the window of `inside`, centred on the page whose top-left corner is at pagePosition.
    AboutBox(QWidget* inside, QPoint pagePosition);

    // The program's name as the about box and the frame's menu give it ("HXT-914Q Setup Wizard" in English).
    static QString ProgramName();

protected:
    // Dims the wizard under the box, as the dimmer does for the pages' overlays.
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint page;
};
