#include "pages/OverlayRunner.h"

#include <utility>

namespace {

OverlayRunner& InstalledRunner()
{
    static OverlayRunner runner;
    return runner;
}

} // namespace

void SetOverlayRunner(OverlayRunner runner)
{
    InstalledRunner() = std::move(runner);
}

int RunOverlay(QWidget* page, int kind, const OverlayValues& values)
{
    // A copy: the runner may be replaced while an overlay it started is still running.
    const OverlayRunner runner = InstalledRunner();
    if (!runner || page == nullptr)
        return IDCANCEL;
    return runner(page, kind, values);
}
