#include "overlays/DiskAlert.h"

#include "i18n/Localization.h"
#include "ui/DeviceText.h"
#include "ui/Drawing.h"
#include "ui/FadingPictureButton.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr int kMessageWidth = 380;

} // namespace

DiskAlert::DiskAlert(
    QWidget* inside, QPoint pagePosition, int mode, bool cancelButton, const std::string& disks)
    : AlertBox(inside, pagePosition, QPoint(210, 200), QSize(440, 240))
{
    setObjectName("diskAlert");
    QString title;
    QString text;
    if (mode == 1) {
        title = FromUtf8(Text("hddformat_04", "Important Alert"));
        text = FromUtf8(Text("hddformat_05", "Formatting will permanently erase all data on your hard drive(s)"));
    } else {
        // The keys carry a trailing blank; the pack lookup finds them without it.
        title = FromUtf8(Text("hddformat_06 ", "No HD Found"));
        text = FromUtf8(Text("hddformat_07 ",
            "Your hard drive can not be found. Please make sure your hard drive is properly connected to NVR."));
    }
    setBadge(3059, QRect(28, 24, 40, 40));
    setTitle(title, QRect(80, 24, 330, 40), 20, QColor(226, 76, 60), Qt::AlignLeft | Qt::AlignVCenter);
    if (mode == 1 && !disks.empty()) {
        // One line per disk under the warning, a blank line between. A disk names itself: each line is shown as
        // plain text and shortened in the middle to one line, so a long name never pushes the next disk out.
        const QFontMetrics metrics(MakeFont(ChooseFontFamily("Verdana"), 14, false));
        QStringList lines;
        for (const QString& line : FromUtf8(disks).split(QLatin1Char('\n')))
            lines << metrics.elidedText(ShownDeviceText(line), Qt::ElideMiddle, kMessageWidth);
        setMessage(text + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')), QRect(30, 70, kMessageWidth, 100), 14,
            QColor(72, 72, 72), Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        setMessage(text, QRect(30, 78, 380, 84), 14, QColor(72, 72, 72), Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (cancelButton) {
        AddButtonPair(FromUtf8(Text("OK", "OK")), IDOK, FromUtf8(Text("_CANCEL", "CANCEL")), IDCANCEL, 176);
        findChildren<FadingPictureButton*>().value(0)->setObjectName("okButton");
        findChildren<FadingPictureButton*>().value(1)->setObjectName("cancelButton");
    } else {
        AddButton(FromUtf8(Text("OK", "OK")), -1, 176, IDOK, 220)->setObjectName("okButton");
    }
}
