#include "pages/PreviewBubble.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "pages/PreviewPicture.h"
#include "ui/AccessibleControls.h"
#include "ui/PictureButton.h"
#include "ui/DeviceText.h"
#include "ui/Drawing.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kPageWidth = 860;
constexpr int kPageHeight = 640;
constexpr int kPageMargin = 2; // the bubble keeps clear of the page's rounded edge
constexpr int kCorner = 7;
constexpr int kTipHalf = 12; // the tip is 24 px high at the body's edge
constexpr QRect kDescriptionRect { 24, 7, 300, 20 };

} // namespace

PreviewBubble::PreviewBubble(QWidget* inside, QPoint pagePosition, QPoint anchor, const std::string& cameraAddress,
    const std::string& cameraAccount, const std::string& cameraPassword, const std::string& description)
    : ModalLayer(inside)
    , bubble(PlaceBubble(anchor, &tip).translated(pagePosition))
    , address(cameraAddress)
    , account(cameraAccount)
    , password(cameraPassword)
    , descriptionText(ShownDeviceText(description))
{
    setObjectName(QStringLiteral("previewBubble"));
    close = new PictureButton(this);
    close->setObjectName(QStringLiteral("closeCross"));
    SetAccessibleText(close, "Close", "Close");
    for (int slot = 0; slot < 4; ++slot)
        close->SetImage(slot, 3060);
    close->setGeometry(bubble.x() + 334, bubble.y() + 10, 14, 14);
    close->setCursor(Qt::PointingHandCursor);
    connect(close, &QAbstractButton::clicked, this, [this] {
        StopPictures();
        End(IDOK);
    });

    picture = new PreviewPicture(this);
    picture->setGeometry(kPictureRect.translated(bubble.topLeft()));
    if (!descriptionText.isEmpty()) {
        const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 13, false));
        if (metrics.horizontalAdvance(descriptionText) > kDescriptionRect.width())
            setToolTip(PlainToolTip(descriptionText)); // the line shows it shortened
    }
}

PreviewBubble::~PreviewBubble()
{
    StopPictures();
}

QRect PreviewBubble::PlaceBubble(QPoint anchor, int* tipY)
{
    const int x = std::clamp(anchor.x() + 5, kPageMargin, kPageWidth - kWidth - kPageMargin);
    const int y = std::clamp(anchor.y() - 30, kPageMargin, kPageHeight - kHeight - kPageMargin);
    if (tipY != nullptr)
        *tipY = std::clamp(anchor.y() + 2 - y, kCorner + kTipHalf, kHeight - kCorner - kTipHalf);
    return QRect(x, y, kWidth, kHeight);
}

void PreviewBubble::StopPictures()
{
    pictures.Stop();
}

void PreviewBubble::Started()
{
    // Decoded on the picture thread at the area's size; shown on the interface thread. The picture area lives
    // until after the thread has been joined (the destructor stops it first), and a call still queued when the
    // area goes is dropped with it, so no picture outlives its own preview.
    PreviewPicture* area = picture;
    const QSize size = kPictureRect.size();
    const qreal ratio = picture->devicePixelRatioF();
    pictures.Start(address, account, password, [area, size, ratio](std::string_view jpeg) {
        QSize source;
        QImage decoded = PreviewPicture::Decode(jpeg, size, ratio, &source);
        QMetaObject::invokeMethod(
            area, [area, decoded, source] { area->SetPicture(decoded, source); }, Qt::QueuedConnection);
    });
}

void PreviewBubble::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(bubble.x() + kTipX, bubble.y(), kWidth - kTipX, kHeight), kCorner, kCorner);
    QPainterPath tipPath;
    tipPath.moveTo(bubble.x() + kTipX + 1, bubble.y() + tip - kTipHalf);
    tipPath.lineTo(bubble.x() + kTipX + 1, bubble.y() + tip + kTipHalf);
    tipPath.lineTo(bubble.x(), bubble.y() + tip);
    tipPath.closeSubpath();
    shape = shape.united(tipPath);
    painter.fillPath(shape, Qt::white);
    if (!descriptionText.isEmpty()) {
        const QFont font = MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 13, false);
        painter.setFont(font);
        painter.setPen(QColor(72, 72, 72));
        const QRect where = kDescriptionRect.translated(bubble.topLeft());
        const QString line = QFontMetrics(font).elidedText(descriptionText, Qt::ElideRight, where.width());
        painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, line);
    }
}

void PreviewBubble::keyPressEvent(QKeyEvent* event)
{
    event->accept(); // only the close button closes the preview
}

QString PreviewBubble::AccessibleTitle() const
{
    return QString::fromStdString(Text("a11y_preview", "Live preview"));
}
