#pragma once
// The program's about box: its name and version, with an OK button.

#include "app/AlertBox.h"

class AboutBox : public AlertBox
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget* inside);
};
