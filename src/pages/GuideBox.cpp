#include "pages/GuideBox.h"

#include "ui/Drawing.h"

#include <QFontMetrics>
#include <QPainter>

GuideBox::GuideBox(QWidget* inside, QPoint pagePositionInWindow)
    : AlertBox(inside, pagePositionInWindow, QPoint(0, 0), QSize(860, 640))
    , pagePosition(pagePositionInWindow)
{
}

QStringList GuideBox::texts() const
{
    QStringList all;
    for (const Item& item : items) {
        if (!item.text.isEmpty())
            all << item.text;
    }
    return all;
}

QRect GuideBox::contentRect() const
{
    QRect all;
    for (const Item& item : items)
        all |= item.rect;
    return all.translated(box.topLeft());
}

void GuideBox::placeBox(QPoint topLeft, int width, int height)
{
    box = QRect(topLeft, QSize(width, height));
    update();
}

void GuideBox::centreOnPage(int width, int height)
{
    placeBox(pagePosition + QPoint((860 - width) / 2, (640 - height) / 2), width, height);
}

int GuideBox::TextHeight(const QString& text, int width, int pixelSize, bool bold)
{
    const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), pixelSize, bold));
    return metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text).height();
}

int GuideBox::addText(
    const QString& text, int x, int y, int width, int pixelSize, bool bold, QColor colour, int alignment)
{
    const int height = TextHeight(text, width, pixelSize, bold);
    items.push_back(Item { text, QRect(x, y, width, height), pixelSize, bold, colour, alignment, false, QImage() });
    return y + height;
}

int GuideBox::addBullet(const QString& text, int x, int y, int width, int pixelSize, QColor colour)
{
    const int indent = 18;
    const int height = TextHeight(text, width - indent, pixelSize, false);
    items.push_back(Item { QString(), QRect(x, y, indent, height), pixelSize, false, colour, 0, true, QImage() });
    items.push_back(Item {
        text, QRect(x + indent, y, width - indent, height), pixelSize, false, colour, Qt::AlignLeft, false, QImage() });
    return y + height;
}

QRect GuideBox::addPicture(int pngId, int x, int y, QSize size)
{
    Item item;
    const qreal ratio = devicePixelRatioF();
    item.picture = LoadPngResource(pngId, ratio).value_or(QImage());
    if (!size.isValid())
        size = item.picture.isNull() ? QSize(0, 0) : item.picture.deviceIndependentSize().toSize();
    if (!item.picture.isNull() && size.width() * ratio > item.picture.width()) {
        // Drawn larger than this picture has pixels: made from the sharper art where there is one.
        const qreal needed = ratio * size.width() / item.picture.deviceIndependentSize().width();
        item.picture = LoadPngResource(pngId, needed).value_or(item.picture);
    }
    item.picture = FitPicture(item.picture, size, ratio); // scaled once, not while painting
    item.rect = QRect(QPoint(x, y), size);
    items.push_back(item);
    return item.rect;
}

void GuideBox::paintEvent(QPaintEvent* event)
{
    AlertBox::paintEvent(event);
    QPainter painter(this);
    PrepareGraphics(painter);
    const QString family = ChooseFontFamily(QStringLiteral("Verdana"));
    for (const Item& item : items) {
        const QRect where = item.rect.translated(box.topLeft());
        if (!item.picture.isNull()) {
            painter.drawImage(where, item.picture);
        } else if (item.bullet) {
            const int lineHeight = QFontMetrics(MakeFont(family, item.size, false)).height();
            painter.setPen(Qt::NoPen);
            painter.setBrush(kGuideBlue);
            painter.drawEllipse(QPointF(where.x() + 5, where.y() + lineHeight / 2.0 + 0.5), 3.5, 3.5);
        } else if (!item.text.isEmpty()) {
            painter.setFont(MakeFont(family, item.size, item.bold));
            painter.setPen(item.colour);
            painter.drawText(where, item.alignment | Qt::TextWordWrap, item.text);
        }
    }
}
