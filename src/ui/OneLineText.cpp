#include "ui/OneLineText.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

OneLineText::OneLineText(QWidget* parent)
    : PressableControl(parent)
    , family(ChooseFontFamily(QStringLiteral("Verdana")))
{
}

void OneLineText::SetText(const QString& text)
{
    windowText = text;
    update();
}

void OneLineText::setFontFields(const QString& fontFamily, int pixelSize, Rgb colour, bool isBold)
{
    family = fontFamily;
    size = pixelSize;
    textColour = colour;
    boldOn = isBold;
    update();
}

void OneLineText::setColour(Rgb colour)
{
    textColour = colour;
    update();
}

void OneLineText::setRightAlign(bool on)
{
    rightAlignOn = on;
    update();
}

void OneLineText::setLink(bool on)
{
    linkOn = on;
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
    update();
}

void OneLineText::setSecondLine(bool on, const QString& text)
{
    secondLine = on;
    secondText = text;
    update();
}

QFont OneLineText::DrawingFont() const
{
    return MakeFont(family, size, boldOn && !linkOn, linkOn);
}

int OneLineText::Alignment() const
{
    return rightAlignOn ? Qt::AlignRight : Qt::AlignLeft;
}

void OneLineText::PaintTexts(QPainter& painter) const
{
    PrepareGraphics(painter);
    painter.setPen(ColorFromRgb(textColour));
    painter.setFont(DrawingFont());
    DrawTextBlock(painter, rect(), Alignment() | Qt::TextWordWrap, windowText);
    if (secondLine) {
        const QFont regular = MakeFont(family, size, false);
        const QSizeF first = MeasureTextBlock(regular, windowText, Qt::AlignLeft | Qt::TextWordWrap, width());
        painter.setFont(regular);
        DrawTextBlock(
            painter, QRectF(rect()).translated(0, first.height()), Qt::AlignLeft | Qt::TextWordWrap, secondText);
    }
}

void OneLineText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintTexts(painter);
    if (hasFocus())
        PaintFocusMark(painter, QRectF(FocusRect()), 3);
}

QRect OneLineText::FocusRect() const
{
    // Around the first text with a little room, inside the control.
    const QSizeF used = MeasureTextBlock(DrawingFont(), windowText, Alignment() | Qt::TextWordWrap, width());
    const int w = std::min(width(), static_cast<int>(std::ceil(used.width())) + 8);
    const int h = std::min(height(), static_cast<int>(std::ceil(used.height())) + 4);
    const int x = (Alignment() & Qt::AlignRight) != 0 ? width() - w
        : (Alignment() & Qt::AlignHCenter) != 0       ? (width() - w) / 2
                                                      : 0;
    return QRect(x, 0, w, h);
}

void OneLineText::Press()
{
    if (linkOn && isEnabled())
        PostWindowMessage(parentWidget(), WM_LINK_CLICKED, 0, 0);
}

void OneLineText::mousePressEvent(QMouseEvent* event)
{
    const bool post = linkOn && event->button() == Qt::LeftButton;
    if (post && !PostsLinkAfterDefault())
        PostWindowMessage(parentWidget(), WM_LINK_CLICKED, 0, 0);
    QWidget::mousePressEvent(event);
    if (post && PostsLinkAfterDefault())
        PostWindowMessage(parentWidget(), WM_LINK_CLICKED, 0, 0);
    if (linkOn)
        event->accept(); // a link keeps its clicks: the page below must not start moving the window
}
