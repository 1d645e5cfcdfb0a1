#include "overlays/RecorderNotFoundHelp.h"

#include "i18n/Localization.h"
#include "ui/PictureButton.h"
#include "ui/Drawing.h"

#include <QPainter>

namespace {

constexpr int kDetailsTop = 292; // box coordinates, under the smaller picture
constexpr int kDetailsSize = 13;

// Draws a heading and its items (each with a bullet) from top in column; returns the y under the last line.
int DrawColumn(QPainter& painter, QRect column, const QString& heading, const QStringList& items)
{
    const QString family = ChooseFontFamily(QStringLiteral("Verdana"));
    const QFont bold = MakeFont(family, kDetailsSize, true);
    const QFont plain = MakeFont(family, kDetailsSize, false);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    int y = column.top();
    painter.setFont(bold);
    const QSizeF headingSize = MeasureTextBlock(bold, heading, flags, column.width());
    DrawTextBlock(painter, QRectF(column.left(), y, column.width(), headingSize.height()), flags, heading);
    y += static_cast<int>(headingSize.height()) + 4;
    painter.setFont(plain);
    const int bulletWidth = 12;
    for (const QString& item : items) {
        const QSizeF size = MeasureTextBlock(plain, item, flags, column.width() - bulletWidth);
        DrawTextBlock(painter, QRectF(column.left(), y, bulletWidth, size.height()), flags, QStringLiteral("\u2022"));
        DrawTextBlock(
            painter, QRectF(column.left() + bulletWidth, y, column.width() - bulletWidth, size.height()), flags, item);
        y += static_cast<int>(size.height()) + 3;
    }
    return y;
}

} // namespace

RecorderNotFoundHelp::RecorderNotFoundHelp(QWidget* inside, QPoint pagePosition, const std::string& searchedText)
    : AlertBox(inside, pagePosition, QPoint(130, 120), QSize(600, 380))
{
    setObjectName("recorderNotFoundHelp");
    if (!searchedText.empty()) {
        searched = FromUtf8(searchedText).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        causes << FromUtf8(Text("nvrsearch_14", "This PC and the recorder are on different networks."))
               << FromUtf8(Text("nvrsearch_15", "A network cable is unplugged."))
               << FromUtf8(Text("nvrsearch_16", "A firewall on this PC blocks the replies from UDP port 62976."));
        // Taller, and higher on the page, to hold what was searched and the usual causes under the picture.
        box = QRect(pagePosition + QPoint(130, 105), QSize(600, 430));
    }
    setTitle(FromUtf8(Text("nvrsearch_06", "Can not find your NVR")), QRect(40, 14, 520, 34), 20, QColor(42, 169, 209),
        Qt::AlignHCenter | Qt::AlignVCenter);
    setMessage(FromUtf8(Text("nvrsearch_07",
                   "Please make sure the Ethernet cable is connected to your HXT-914Q and router's LAN port.")),
        QRect(40, 50, 520, 46), 14, QColor(72, 72, 72), Qt::AlignHCenter | Qt::AlignTop);
    if (searched.isEmpty())
        setPicture(4071, QRect((600 - 575) / 2, 100, 575, 270));
    else
        setPicture(4071, QRect((600 - 384) / 2, 100, 384, 180)); // two thirds
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}

void RecorderNotFoundHelp::paintEvent(QPaintEvent* event)
{
    AlertBox::paintEvent(event);
    if (searched.isEmpty())
        return;
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.setPen(QColor(72, 72, 72));
    const QPoint origin = box.topLeft();
    DrawColumn(painter, QRect(origin + QPoint(40, kDetailsTop), QSize(220, 130)),
        FromUtf8(Text("nvrsearch_11", "Searched from:")), searched);
    DrawColumn(painter, QRect(origin + QPoint(270, kDetailsTop), QSize(300, 130)),
        FromUtf8(Text("nvrsearch_13", "Usual causes:")), causes);
}
