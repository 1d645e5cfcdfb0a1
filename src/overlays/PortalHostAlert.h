#pragma once
// The question page 11 asks before an account goes to a portal host outside the maker's domains: it names the
// host the recorder gave and what would be sent there; SEND ends with OK, CANCEL and the close cross with Cancel.

#include "overlays/AlertBox.h"

#include <string>

class PortalHostAlert : public AlertBox
{
    Q_OBJECT
public:
    PortalHostAlert(QWidget* inside, QPoint pagePosition, const std::string& portalHost);
};
