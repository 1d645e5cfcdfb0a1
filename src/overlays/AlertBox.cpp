#include "overlays/AlertBox.h"

#include "ui/AccessibleControls.h"
#include "ui/PictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/Drawing.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>

namespace {

constexpr int kButtonWidth = 118;
constexpr int kButtonHeight = 43;

void SetCaptionImages(PictureButton* button)
{
    button->SetImage(0, 3045);
    button->SetImage(1, 3042);
    button->SetImage(2, 3044);
    button->SetImage(3, 3043);
}

} // namespace

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

AlertBox::AlertBox(QWidget* inside, QPoint pagePosition, QPoint offset, QSize size)
    : ModalLayer(inside)
    , box(pagePosition + offset, size)
{
}

FadingPictureButton* AlertBox::AddButton(const QString& caption, int x, int y, int result, int centreX)
{
    auto* button = new FadingPictureButton(this);
    SetCaptionImages(button);
    button->setText(caption);
    const int width = std::max(kButtonWidth, button->CaptionWidth() + 40);
    if (x < 0)
        x = centreX - width / 2;
    button->setGeometry(box.x() + x, box.y() + y, width, kButtonHeight);
    connect(button, &QAbstractButton::clicked, this, [this, result] { End(result); });
    if (startFocusControl() == nullptr)
        setStartFocus(button); // a box's one answer takes the keyboard when it opens
    return button;
}

void AlertBox::AddButtonPair(const QString& left, int leftResult, const QString& right, int rightResult, int y)
{
    // A choice between two answers waits for the user's Tab: neither is taken by a stray Space.
    QWidget* before = startFocusControl();
    FadingPictureButton* first = AddButton(left, 0, y, leftResult);
    FadingPictureButton* second = AddButton(right, 0, y, rightResult);
    setStartFocus(before);
    const int width = std::max(first->width(), second->width());
    const int gap = 20;
    const int x = box.x() + (box.width() - 2 * width - gap) / 2;
    first->setGeometry(x, box.y() + y, width, kButtonHeight);
    second->setGeometry(x + width + gap, box.y() + y, width, kButtonHeight);
}

PictureButton* AlertBox::AddCloseCross(int result)
{
    auto* cross = new PictureButton(this);
    cross->SetImage(0, 3060);
    cross->SetImage(1, 3060);
    cross->SetImage(2, 3061);
    cross->SetImage(3, 3061);
    cross->setGeometry(box.right() + 1 - 15 - 14, box.y() + 15, 14, 14);
    cross->setCursor(Qt::PointingHandCursor);
    SetAccessibleText(cross, "Close", "Close");
    connect(cross, &QAbstractButton::clicked, this, [this, result] { End(result); });
    if (startFocusControl() == nullptr && findChildren<FadingPictureButton*>().isEmpty())
        setStartFocus(cross); // a box that only closes opens on its cross
    return cross;
}

void AlertBox::setBadge(int pngId, QRect where)
{
    badge = LoadPngResource(pngId).value_or(QImage());
    badgeRect = where;
}

void AlertBox::setTitle(const QString& text, QRect where, int pixelSize, QColor colour, int alignment)
{
    titleText = text;
    titleRect = where;
    titleSize = pixelSize;
    titleColour = colour;
    titleAlignment = alignment;
    update();
}

void AlertBox::setMessage(const QString& text, QRect where, int pixelSize, QColor colour, int alignment)
{
    messageText = text;
    messageRect = where;
    messageSize = pixelSize;
    messageColour = colour;
    messageAlignment = alignment;
    update();
}

void AlertBox::setPicture(int pngId, QRect where)
{
    picture = LoadPngResource(pngId).value_or(QImage());
    pictureRect = where;
}

void AlertBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    // A soft shadow under the box lifts it off the dimmed page.
    for (int i = 1; i <= 8; ++i) {
        QPainterPath shade;
        shade.addRoundedRect(QRectF(box).adjusted(-i, -i + 3, i, i + 3), 10 + i, 10 + i);
        painter.fillPath(shade, QColor(0, 0, 0, 9));
    }
    QPainterPath outline;
    outline.addRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    painter.fillPath(outline, Qt::white);
    painter.setPen(QPen(QColor(0xD3, 0xD3, 0xD3), 1));
    painter.drawPath(outline);

    const QString family = ChooseFontFamily("Verdana");
    if (!badge.isNull())
        painter.drawImage(badgeRect.translated(box.topLeft()), badge);
    if (!titleText.isEmpty()) {
        painter.setFont(MakeFont(family, titleSize, true));
        painter.setPen(titleColour);
        painter.drawText(titleRect.translated(box.topLeft()), titleAlignment | Qt::TextWordWrap, titleText);
    }
    if (!messageText.isEmpty()) {
        painter.setFont(MakeFont(family, messageSize, false));
        painter.setPen(messageColour);
        painter.drawText(messageRect.translated(box.topLeft()), messageAlignment | Qt::TextWordWrap, messageText);
    }
    if (!picture.isNull())
        painter.drawImage(pictureRect.translated(box.topLeft()), picture);
}

void AlertBox::keyPressEvent(QKeyEvent* event)
{
    event->accept(); // Enter and Escape do not close an alert; only its buttons do
}
