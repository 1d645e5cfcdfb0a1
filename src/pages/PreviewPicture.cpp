#include "pages/PreviewPicture.h"

#include "i18n/Localization.h"
#include "ui/Drawing.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

namespace {

const QColor kBarColour(0x20, 0x20, 0x20); // around a picture of other proportions, and behind "Connecting..."
const QColor kStatusColour(0xD0, 0xD0, 0xD0);

} // namespace

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
    // Decoded at exactly the pixels it is drawn with: its own proportions, as large as the area allows.
    const QSize areaPixels(qMax(1, qRound(area.width() * ratio)), qMax(1, qRound(area.height() * ratio)));
    const QSize target = size.scaled(areaPixels, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
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

QRect PreviewPicture::pictureRect() const
{
    if (shown.isNull())
        return {};
    const QSize size = (QSizeF(shown.size()) / shown.devicePixelRatio()).toSize().boundedTo(this->size());
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QString PreviewPicture::statusText() const
{
    return shown.isNull() ? QString::fromStdString(Text("preview_connecting", "Connecting...")) : QString();
}

void PreviewPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBarColour);
    if (shown.isNull()) {
        painter.setFont(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 14, false));
        painter.setPen(kStatusColour);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, statusText());
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), shown);
}
