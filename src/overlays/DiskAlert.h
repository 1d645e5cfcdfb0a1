#pragma once
// The disk alert, 440 x 240: mode 1 warns that formatting erases everything (under it, the disks it concerns when
// the opener names them), mode 0 says no disk was found. OK ends with OK; with the cancel-button flag a CANCEL
// button ends with Cancel.

#include "overlays/AlertBox.h"

#include <string>

class DiskAlert : public AlertBox
{
    Q_OBJECT
public:
    DiskAlert(
        QWidget* inside, QPoint pagePosition, int mode, bool cancelButton, const std::string& disks = std::string());
};
