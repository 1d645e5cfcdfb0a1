// hxt914q-setup: the HXT-914Q setup wizard. No options; it starts in English on the welcome page.
//
// For the start-up benchmark (bench/startup) only: with HXT_EXIT_AFTER_FIRST_PAINT=1 in the environment the
// process ends at once, with code 0 and no output, right after the welcome page was painted the first time.

#include "app/MainWindow.h"
#include "app/WizardPages.h"
#include "pages/WizardPage.h"
#include "platform/MallocArenas.h"
#include "ui/AccessibleControls.h"
#include "ui/Drawing.h"
#include "platform/ProgramVersion.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTimer>
#include <cstdlib>
#include <thread>

namespace {

// Ends the process once the paint of page 1 that it saw has been completed (the next turn of the loop).
class ExitAfterFirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (auto* page = qobject_cast<WizardPage*>(watched); page != nullptr && page->pageNumber() == 1)
                QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    UseOneMallocArena();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HXT-914Q Setup Wizard"));
    QApplication::setApplicationVersion(QString::fromLatin1(kProgramVersionNumber));
    ExitAfterFirstPaint exitAfterFirstPaint;
    if (qEnvironmentVariableIntValue("HXT_EXIT_AFTER_FIRST_PAINT") == 1)
        application.installEventFilter(&exitAfterFirstPaint);
    RegisterWizardOverlays();
    InstallAccessibleControls();
    // While the frame waits to start the host, the window's icon and the welcome page's background and buttons
    // are decoded, and the font database is read (fontconfig's files), each on a thread of its own.
    PrefetchPictures({ 3000 }, { 3041, 3038, 3040, 3039, 3037, 3034, 3036, 3035, 3045, 3042, 3044, 3043 }, 3159);
    std::thread fonts([] { QFontDatabase::families(); });
    MainWindow frame;
    frame.show();
    const int result = application.exec();
    fonts.join();
    return result;
}
