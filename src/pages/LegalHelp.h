#pragma once
// The about box: the program's name and version and the legal warning; Close ends it.

#include "pages/GuideBox.h"

class LegalHelp : public GuideBox
{
    Q_OBJECT
public:
    LegalHelp(QWidget* inside, QPoint pagePosition);
};
