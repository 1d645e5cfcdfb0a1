#pragma once
// The window the lab's page tests stand in for: the wizard's size, shown without reaching a screen.

#include <QSize>

class QWidget;

class LabWindow
{
public:
    static constexpr QSize kWizardSize { 860, 640 };

    // Gives host the wizard window's size and shows it offscreen, so pages laid out on it measure as in the wizard.
    static void Show(QWidget& host);
};
