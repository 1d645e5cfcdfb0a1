// hxt914q-setup: the HXT-914Q setup wizard. No options; it starts in English on the welcome page.

#include "app/CTalvioDlg.h"
#include "app/WizardPages.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HXT-914Q Setup Wizard"));
    QApplication::setApplicationVersion(QStringLiteral("2.02.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/3159.png")));
    RegisterWizardOverlays();
    CTalvioDlg frame;
    frame.show();
    return application.exec();
}
