#pragma once
// The Internet alert: without the Internet the cloud service cannot be used. SKIP ends with OK, RETRY with Cancel.

#include "overlays/AlertBox.h"

class CNetAlarmPage : public AlertBox
{
    Q_OBJECT
public:
    CNetAlarmPage(QWidget* inside, QPoint pagePosition);
};
