#pragma once
// The error alert: the text handed over (the opener looks it up; empty: "Check Network Failed!" in the chosen
// language), a Close button that ends with OK and a small close cross that ends with Cancel; optionally a RETRY
// button beside Close that ends with retryResult.

#include "overlays/AlertBox.h"

#include <string>

class ErrorAlert : public AlertBox
{
    Q_OBJECT
public:
    ErrorAlert(QWidget* inside, QPoint pagePosition, const std::string& errorText, int retryResult = 0);
};
