// The start-up benchmark's baseline: a bare frameless Qt window of the wizard's size (874 x 654) that ends the
// process, as the wizard does with HXT_EXIT_AFTER_FIRST_PAINT=1, right after its first paint. With HXT_SMAPS_OUT set
// it first copies its memory map (/proc/self/smaps) to that file, for the scenario's memory breakdown.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <unistd.h>

namespace {

void CopySmaps()
{
    const QByteArray out = qgetenv("HXT_SMAPS_OUT");
    if (out.isEmpty())
        return;
    std::ifstream in("/proc/self/smaps");
    std::ofstream copy(out.constData());
    copy << in.rdbuf();
}

class ExitAfterFirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QTimer::singleShot(0, [] {
                CopySmaps();
                ::_exit(0);
            });
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ExitAfterFirstPaint exitAfterFirstPaint;
    application.installEventFilter(&exitAfterFirstPaint);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(0, 0, 874, 654);
    window.setFixedSize(874, 654);
    window.show();
    return application.exec();
}
