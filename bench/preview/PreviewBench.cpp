// The live preview's CPU cost: opens the preview bubble (offscreen) for a camera of the lab's simulator, lets it
// run, and reports the process's CPU time (user + system, every thread: the picture thread's requests, reads and
// decoding, and the interface thread's drawing) as a share of one core over the measured wall time.
//   preview_bench [address] [seconds]   (default 10.77.0.31, 30 s; run through run-preview-bench)
#include "pages/PreviewPicture.h"
#include "pages/PreviewBubble.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string address = argc > 1 ? argv[1] : "10.77.0.31";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    const int warmUpMs = 3000; // the connection, the first request and the first picture

    QWidget host;
    host.setFixedSize(860, 640);
    host.show();
    PreviewBubble bubble(&host, QPoint(0, 0), QPoint(495, 300), address, "admin", "Cam12345", address);

    double cpuStart = 0;
    int picturesStart = 0;
    QElapsedTimer wall;
    QTimer::singleShot(warmUpMs, &bubble, [&] {
        cpuStart = CpuSeconds();
        picturesStart = bubble.preview()->picturesShown();
        wall.start();
        QTimer::singleShot(seconds * 1000, &bubble, [&] {
            const double cpu = CpuSeconds() - cpuStart;
            const double elapsed = double(wall.elapsed()) / 1000.0;
            const int pictures = bubble.preview()->picturesShown() - picturesStart;
            bubble.StopPictures();
            const double share = 100.0 * cpu / elapsed;
            std::printf("preview of %s: %.2f %% of one core over %.1f s (%.3f s CPU), %d pictures shown "
                        "(%.1f per second, each %dx%d from the camera); target <= 5 %%: %s\n",
                address.c_str(), share, elapsed, cpu, pictures, pictures / elapsed,
                bubble.preview()->pictureSourceSize().width(), bubble.preview()->pictureSourceSize().height(),
                share <= 5.0 ? "met" : "MISSED");
            bubble.End(ModalLayer::IDOK);
        });
    });
    bubble.Run();
    return 0;
}
