#include "app/AboutBox.h"

#include "i18n/Localization.h"
#include "ui/COrselButton4.h"
#include "ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>

AboutBox::AboutBox(QWidget* inside)
    : AlertBox(inside, QPoint(7, 7), QPoint(210, 200), QSize(440, 240))
{
    setObjectName("aboutBox");
    setBadge(3058, QRect(195, 22, 50, 50));
    setTitle(QStringLiteral("HXT-914Q Setup Wizard"), QRect(20, 80, 400, 30), 20, QColor(42, 169, 209),
        Qt::AlignHCenter | Qt::AlignVCenter);
    setMessage(QStringLiteral("Version 2.02.00\n\u00A9 Veskor"), QRect(20, 112, 400, 48), 14, QColor(72, 72, 72),
        Qt::AlignHCenter | Qt::AlignTop);
    AddButton(FromUtf8(Text("OK", "OK")), -1, 176, IDOK, 220)->setObjectName("okButton");
}

void AboutBox::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        PrepareGraphics(painter);
        QPainterPath page;
        page.addRoundedRect(QRectF(7, 7, 860, 640), 6, 6);
        painter.fillPath(page, QColor(0, 0, 0, 153));
    }
    AlertBox::paintEvent(event);
}
