#include "LabWindow.h"

#include <QWidget>

void LabWindow::Show(QWidget& host)
{
    host.setFixedSize(kWizardSize);
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.show();
}
