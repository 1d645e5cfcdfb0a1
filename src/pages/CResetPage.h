#pragma once
// The reset help: how to reset the recorder with a paperclip, with a picture. RESET ends it with OK (the user
// reset the recorder), the close cross with Cancel.

#include "pages/GuideBox.h"

class COrselButton4;

class CResetPage : public GuideBox
{
    Q_OBJECT
public:
    // Centred on the page, or over the box `over` (window coordinates; at least as large) when it is given.
    CResetPage(QWidget* inside, QPoint pagePosition, int mode, QRect over = QRect());

    int mode() const { return modeNumber; }
    COrselButton4* resetButton() const { return reset; }

private:
    int modeNumber;
    COrselButton4* reset = nullptr;
};
