#include "pages/MacLabelHelp.h"

#include "i18n/Localization.h"
#include "ui/Drawing.h"

#include <QPainter>
#include <cctype>

namespace {

constexpr int kWidth = 480;

} // namespace

MacLabelHelp::MacLabelHelp(QWidget* inside, QPoint pagePosition, const std::string& mac)
    : GuideBox(inside, pagePosition)
    , macText(FromUtf8(mac))
{
    setObjectName(QStringLiteral("macLabelHelp"));
    int y = 46;
    y = addText(FromUtf8(Text("nvrsearch_04", "The MAC Address is on the back of your NVR.")), 40, y, kWidth - 80, 16,
        true, kGuideText, Qt::AlignHCenter);
    y += 20;
    labelRect = addPicture(4019, (kWidth - 388) / 2, y);
    y = labelRect.bottom() + 1 + 34;
    centreOnPage(kWidth, y);
    AddCloseCross(IDCANCEL)->setObjectName(QStringLiteral("closeCross"));
}

std::string MacLabelHelp::LabelMac(const std::string& rowMac, bool rowSelected)
{
    if (!rowSelected)
        return std::string(16, 'x');
    std::string label;
    for (char c : rowMac) {
        if (c != ':')
            label += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return label;
}

void MacLabelHelp::paintEvent(QPaintEvent* event)
{
    GuideBox::paintEvent(event);
    QPainter painter(this);
    PrepareGraphics(painter);
    QFont font = MakeFont(ChooseFontFamily(QStringLiteral("Arial")), 13, true);
    painter.setFont(font);
    painter.setPen(QColor(0x2B, 0x36, 0x40));
    // The label's field: the value follows the printed "MAC:" at x 108, on its baseline y 132.
    const QPoint origin = box.topLeft() + labelRect.topLeft();
    painter.drawText(QPointF(origin.x() + 108, origin.y() + 132), macText);
}
