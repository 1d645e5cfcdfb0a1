#include "overlays/ErrorAlert.h"

#include "i18n/Localization.h"
#include "ui/Drawing.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr int kMessageWidth = 380;
constexpr int kMessageHeight = 56;
constexpr int kMessageSize = 16;

QString MessageOf(const std::string& errorText)
{
    return FromUtf8(errorText.empty() ? Text("Check Network Failed!", "Check Network Failed!") : errorText);
}

} // namespace

int ErrorAlert::ExtraMessageHeight(const QString& text)
{
    const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), kMessageSize, false));
    const QRect needed
        = metrics.boundingRect(QRect(0, 0, kMessageWidth, 2000), Qt::AlignHCenter | Qt::TextWordWrap, text);
    return std::max(0, needed.height() + 12 - kMessageHeight); // a little room above the buttons
}

ErrorAlert::ErrorAlert(
    QWidget* inside, QPoint pagePosition, const std::string& errorText, int retryResult, const std::string& closeCaption)
    : AlertBox(inside, pagePosition, QPoint(210, 210 - ExtraMessageHeight(MessageOf(errorText)) / 2),
          QSize(440, 220 + ExtraMessageHeight(MessageOf(errorText))))
{
    setObjectName("errorAlert");
    const QString text = MessageOf(errorText);
    const int extra = ExtraMessageHeight(text);
    setBadge(3057, QRect(195, 26, 50, 50));
    setMessage(text, QRect(30, 88, kMessageWidth, kMessageHeight + extra), kMessageSize, QColor(72, 72, 72),
        Qt::AlignHCenter | Qt::AlignVCenter);
    const QString close = FromUtf8(closeCaption.empty() ? Text("Close", "Close") : closeCaption);
    if (retryResult != 0) {
        AddButtonPair(close, IDOK, FromUtf8(Text("RETRY", "RETRY")), retryResult, 154 + extra);
        findChildren<FadingPictureButton*>().value(0)->setObjectName("closeButton");
        findChildren<FadingPictureButton*>().value(1)->setObjectName("retryButton");
    } else {
        AddButton(close, -1, 154 + extra, IDOK, 220)->setObjectName("closeButton");
    }
    AddCloseCross(IDCANCEL)->setObjectName("closeCross");
}
