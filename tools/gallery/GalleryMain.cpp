// The control gallery: every control in each look and every page text in the six languages, written as PNG
// files. Exits 1 when a glyph is missing, a text overflows its box or a picture is not sharp at 2x.
//   hxt_gallery <dir>           1x pictures and the language checks
//   hxt_gallery --hidpi <dir>   run with QT_SCALE_FACTOR=2: the device pixel ratio 2 checks

#include "ControlSheets.h"
#include "SharpnessCheck.h"
#include "TextSheets.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool hidpi = args.removeAll(QStringLiteral("--hidpi")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: hxt_gallery [--hidpi] <output folder>\n");
        return 2;
    }
    const QString dir = QDir(args.first()).absolutePath();
    QDir().mkpath(dir);

    QStringList failures;
    if (hidpi) {
        SharpnessCheck::Render(dir, failures);
    } else {
        ControlSheets::Render(dir, failures);
        TextSheets::Render(dir, failures);
    }
    for (const QString& failure : failures)
        std::fprintf(stderr, "gallery: %s\n", qPrintable(failure));
    std::printf("gallery: %s written to %s, %lld problem(s)\n", hidpi ? "2x pictures" : "pictures", qPrintable(dir),
        static_cast<long long>(failures.size()));
    return failures.isEmpty() ? 0 : 1;
}
