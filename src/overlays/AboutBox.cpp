#include "overlays/AboutBox.h"

#include "i18n/Localization.h"
#include "ui/FadingPictureButton.h"
#include "ui/Drawing.h"
#include "platform/ProgramVersion.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr const char* kModel = "HXT-914Q";
constexpr int kTitleWidth = 400;

} // namespace

QString AboutBox::ProgramName()
{
    return FromUtf8(Text("wizard_03", "[Model Name] Setup Wizard"))
        .replace(QStringLiteral("[Model Name]"), QString::fromLatin1(kModel));
}

AboutBox::AboutBox(QWidget* inside, QPoint pagePosition)
    : AlertBox(inside, pagePosition, QPoint(210, 200), QSize(440, 240))
    , page(pagePosition)
{
    setObjectName("aboutBox");
    setBadge(3058, QRect(195, 22, 50, 50));
    // The name stays on one line: a long translation gets a smaller size.
    const QString name = ProgramName();
    int size = 20;
    while (size > 14
        && QFontMetrics(MakeFont(ChooseFontFamily("Verdana"), size, true)).horizontalAdvance(name) > kTitleWidth)
        --size;
    setTitle(name, QRect(20, 80, kTitleWidth, 30), size, QColor(42, 169, 209), Qt::AlignHCenter | Qt::AlignVCenter);
    setMessage(FromUtf8(Text("wizard_04", "Version {0}", kProgramVersionNumber)) + QStringLiteral("\n\u00A9 Veskor"),
        QRect(20, 112, 400, 48), 14, QColor(72, 72, 72), Qt::AlignHCenter | Qt::AlignTop);
    AddButton(FromUtf8(Text("OK", "OK")), -1, 176, IDOK, 220)->setObjectName("okButton");
}

void AboutBox::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        PrepareGraphics(painter);
        QPainterPath dimmed;
        dimmed.addRoundedRect(QRectF(page.x(), page.y(), 860, 640), 6, 6);
        painter.fillPath(dimmed, QColor(0, 0, 0, 153));
    }
    AlertBox::paintEvent(event);
}
