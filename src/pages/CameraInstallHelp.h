#pragma once
// The camera page's help: how to install a network camera, a title, one instruction and a picture of the cable
// between camera and router. The close cross ends it.

#include "pages/GuideBox.h"

class CameraInstallHelp : public GuideBox
{
    Q_OBJECT
public:
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 380;

    CameraInstallHelp(QWidget* inside, QPoint pagePosition);

    // Where the picture goes (box coordinates) below an instruction of textHeight pixels in a language.
    static QRect PictureRect(int textHeight, int languageIndex);
};
