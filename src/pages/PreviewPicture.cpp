#include "pages/PreviewPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

PreviewPicture::PreviewPicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("preview"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QImage PreviewPicture::Decode(std::string_view jpeg, QSize area, qreal ratio, QSize* sourceSize)
{
    if (sourceSize != nullptr)
        *sourceSize = QSize();
    if (jpeg.empty() || area.isEmpty())
        return {};
    QByteArray bytes = QByteArray::fromRawData(jpeg.data(), static_cast<qsizetype>(jpeg.size()));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "jpeg");
    const QSize size = reader.size(); // from the header alone
    if (!size.isValid() || size.isEmpty())
        return {};
    // Drawn over the whole area: decoded at exactly the pixels it is drawn with.
    const QSize target(qMax(1, qRound(area.width() * ratio)), qMax(1, qRound(area.height() * ratio)));
    reader.setScaledSize(target);
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    if (picture.size() != target)
        picture = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    if (sourceSize != nullptr)
        *sourceSize = size;
    return picture;
}

void PreviewPicture::SetPicture(const QImage& picture, QSize sourceSize)
{
    if (picture.isNull()) {
        Clear();
        return;
    }
    shown = picture;
    source = sourceSize;
    ++shownCount;
    update();
}

void PreviewPicture::Clear()
{
    shown = QImage();
    source = QSize();
    update();
}

void PreviewPicture::paintEvent(QPaintEvent*)
{
    if (shown.isNull())
        return; // the bubble's white shows through
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), shown);
}
