#pragma once
// The reset help: how to reset the recorder with a paperclip, with a picture. RESET ends it with OK (the user
// reset the recorder), the close cross with Cancel.

#include "pages/GuideBox.h"

class COrselButton4;

class CResetPage : public GuideBox
{
    Q_OBJECT
public:
    // Centred on the page, or with its top-left corner at boxTopLeft (window coordinates) when given.
    CResetPage(QWidget* inside, QPoint pagePosition, int mode, QPoint boxTopLeft = QPoint(-1, -1));

    int mode() const { return modeNumber; }
    COrselButton4* resetButton() const { return reset; }

private:
    int modeNumber;
    COrselButton4* reset = nullptr;
};
