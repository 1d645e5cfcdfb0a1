#pragma once
// The recorder-not-found help, 600 x 380: what to check, with a picture of the unplugged cable; a close cross.

#include "overlays/AlertBox.h"

class CNoDevicePage : public AlertBox
{
    Q_OBJECT
public:
    CNoDevicePage(QWidget* inside, QPoint pagePosition);
};
