#pragma once
// The Internet alert: without the Internet the cloud service cannot be used. SKIP ends with OK, RETRY with Cancel.

#include "overlays/AlertBox.h"

class NoInternetAlert : public AlertBox
{
    Q_OBJECT
public:
    NoInternetAlert(QWidget* inside, QPoint pagePosition);
};
