#pragma once
// The reset help: how to reset the recorder with a paperclip, with a picture. RESET ends it with OK (the user
// reset the recorder), the close cross with Cancel.

#include "pages/GuideBox.h"

class FadingPictureButton;

class ResetHelp : public GuideBox
{
    Q_OBJECT
public:
    // Centred on the page, or over the box `over` (window coordinates; at least as large) when it is given.
    ResetHelp(QWidget* inside, QPoint pagePosition, int mode, QRect over = QRect());

    int mode() const { return modeNumber; }
    FadingPictureButton* resetButton() const { return reset; }

private:
    int modeNumber;
    FadingPictureButton* reset = nullptr;
};
