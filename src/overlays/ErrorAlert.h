#pragma once
// The error alert: the text handed over (the opener looks it up; empty: "Check Network Failed!" in the chosen
// language), a Close button that ends with OK and a small close cross that ends with Cancel; optionally a RETRY
// button beside Close that ends with retryResult. The Close button may carry another caption (SKIP, say) where
// ending with OK means going on. A text longer than two lines makes the box taller.

#include "overlays/AlertBox.h"

#include <string>

class ErrorAlert : public AlertBox
{
    Q_OBJECT
public:
    ErrorAlert(QWidget* inside, QPoint pagePosition, const std::string& errorText, int retryResult = 0,
        const std::string& closeCaption = {});

    // How much taller than its usual 56 pixels the message area must be for text.
    static int ExtraMessageHeight(const QString& text);
};
