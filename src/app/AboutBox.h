#pragma once
// The program's about box: its name and version, with an OK button.

#include "overlays/AlertBox.h"

class AboutBox : public AlertBox
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget* inside);

protected:
    // Dims the wizard under the box, as the dimmer does for the pages' overlays.
    void paintEvent(QPaintEvent* event) override;
};
