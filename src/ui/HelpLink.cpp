#include "ui/HelpLink.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

HelpLink::HelpLink(QWidget* parent)
    : PressableControl(parent)
    , family(ChooseFontFamily(QStringLiteral("Verdana")))
{
    setMouseTracking(true);
}

void HelpLink::setOverlayKind(int kind)
{
    overlayKind = kind;
    setFocusPolicy(kind != NO_OVERLAY ? Qt::TabFocus : Qt::NoFocus);
}

void HelpLink::Press()
{
    if (isEnabled() && overlayKind != NO_OVERLAY)
        PostWindowMessage(parentWidget(), WM_OPEN_OVERLAY, overlayKind, 0);
}

void HelpLink::PaintFocus(QPainter& painter) const
{
    if (hasFocus())
        PaintFocusMark(painter, QRectF(ActiveRect()).adjusted(-2, -2, 2, 2).intersected(QRectF(rect())), 4);
}

void HelpLink::SetFont(int pixelSize, Rgb colour)
{
    setFontFields(pixelSize, colour, false);
}

void HelpLink::setFontFields(int pixelSize, Rgb colour, bool isBold)
{
    family = ChooseFontFamily(QStringLiteral("Verdana"));
    size = pixelSize;
    textColour = colour;
    bold = isBold;
    Reflow();
    update();
}

void HelpLink::SetText(const QString& text)
{
    windowText = text;
    wordList = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Reflow();
    update();
}

void HelpLink::SetIcon(int pngId)
{
    iconPicture.Load(pngId, devicePixelRatioF());
    iconPicture.Fit(IconSize(), devicePixelRatioF());
    update();
}

void HelpLink::setIconLeft(bool on)
{
    iconLeftOn = on;
    iconPicture.Fit(IconSize(), devicePixelRatioF());
    update();
}

void HelpLink::setLineSpacing(int pixels)
{
    lineSpacing = pixels;
    Reflow();
    update();
}

QFont HelpLink::TextFont() const
{
    return MakeFont(family, size, bold);
}

int HelpLink::lineHeight() const
{
    return QFontMetrics(TextFont()).height();
}

QRect HelpLink::ActiveRect() const
{
    return iconLeftOn ? QRect(0, 0, 20, 20) : link;
}

QSize HelpLink::IconSize() const
{
    return iconLeftOn ? QSize(24, 24) : link.size();
}

void HelpLink::Reflow()
{
    Relayout();
    iconPicture.Fit(IconSize(), devicePixelRatioF());
}

void HelpLink::Relayout()
{
    const QFontMetrics metrics(TextFont());
    const int h = metrics.height();
    const int maxWidth = std::max(1, width() - 20);
    // Words join a line while the line still measures one line high; the word that wraps starts the next line.
    lineList.clear();
    QString current;
    for (const QString& word : wordList) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        const QSizeF bounds = MeasureTextBlock(TextFont(), candidate, Qt::TextWordWrap, maxWidth);
        if (!current.isEmpty() && bounds.height() > h + 0.5) {
            lineList << current;
            current = word;
        } else {
            current = candidate;
        }
    }
    if (!current.isEmpty() || lineList.isEmpty())
        lineList << current;

    const int x = metrics.horizontalAdvance(lineList.last());
    const int y = static_cast<int>(lineList.size() - 1) * h;
    const bool single = lineList.size() == 1;
    const int left = x + 6;
    const int right = left + h + 2 * lineSpacing - 4;
    const int top = y - lineSpacing + 2 + (single ? 1 : 0);
    const int bottom = y + h + lineSpacing - 1 - (single ? 0 : 1);
    link = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void HelpLink::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Reflow();
}

void HelpLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.setFont(TextFont());
    painter.setPen(ColorFromRgb(textColour));
    const int h = lineHeight();
    const int x = iconLeftOn ? 26 : 0;
    for (int i = 0; i < lineList.size(); ++i)
        DrawTextBlock(painter, QRect(x, i * h, width() - x, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            lineList.at(i));
    if (!iconPicture.isNull())
        painter.drawImage(iconLeftOn ? QRectF(0, 0, 24, 24) : QRectF(link), icon());
    PaintFocus(painter);
}

void HelpLink::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(ActiveRect().contains(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void HelpLink::mousePressEvent(QMouseEvent* event)
{
    const bool onLink = ActiveRect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton && onLink) {
        setCursor(Qt::PointingHandCursor);
        Press();
    }
    QWidget::mousePressEvent(event);
    if (onLink)
        event->accept(); // the link keeps its clicks; a press on its text still drags the window
}
