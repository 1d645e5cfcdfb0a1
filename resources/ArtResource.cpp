// Paths of the program's pictures in the Qt resources, and loading at the screen's pixel ratio.
// Pictures are addressed by their numeric resource ids; each ships at 1x and at 2x ("@2x").
#include "ArtResource.h"

#include <QFile>

QString ArtResource::pngPath(int id)
{
    return QStringLiteral(":/png/%1.png").arg(id);
}

QString ArtResource::bitmapPath(int id)
{
    return QStringLiteral(":/bmp/%1.png").arg(id);
}

QString ArtResource::iconPath(int id)
{
    return QStringLiteral(":/icon/%1.png").arg(id);
}

QImage ArtResource::load(const QString& path1x, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0 && path1x.endsWith(QLatin1String(".png"))) {
        QString path2x = path1x.left(path1x.size() - 4) + QLatin1String("@2x.png");
        if (QFile::exists(path2x)) {
            QImage image(path2x);
            if (!image.isNull()) {
                image.setDevicePixelRatio(2.0);
                return image;
            }
        }
    }
    return QImage(path1x);
}
