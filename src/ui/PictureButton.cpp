#include "ui/PictureButton.h"

#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <cmath>

PictureButton::PictureButton(QWidget* parent)
    : QAbstractButton(parent)
    , family(ChooseFontFamily(QStringLiteral("Verdana")))
{
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus); // the keyboard reaches it, a click does not leave a focus mark behind
}

void PictureButton::SetImage(int slot, int pngId)
{
    if (slot < 0 || slot >= static_cast<int>(images.size()))
        return;
    FittedPicture& picture = images[static_cast<size_t>(slot)];
    picture.Load(pngId, devicePixelRatioF());
    picture.Fit(size(), devicePixelRatioF());
    update();
}

const QImage& PictureButton::image(int slot) const
{
    static const QImage none;
    if (slot < 0 || slot >= static_cast<int>(images.size()))
        return none;
    return images[static_cast<size_t>(slot)].image();
}

void PictureButton::resizeEvent(QResizeEvent* event)
{
    for (FittedPicture& picture : images)
        picture.Fit(size(), devicePixelRatioF());
    QAbstractButton::resizeEvent(event);
}

int PictureButton::CaptionWidth() const
{
    const QFontMetricsF metrics(MakeFont(family, CaptionSize(), true));
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
}

int PictureButton::State() const
{
    if (disabledLookOn)
        return 0;
    if (latchedOn || isDown())
        return 2;
    if (hoveringOn)
        return 3;
    return 1;
}

void PictureButton::setDisabledLook(bool on)
{
    disabledLookOn = on;
    update();
}

void PictureButton::setLatched(bool on)
{
    latchedOn = on;
    update();
}

void PictureButton::setFillMode(int mode)
{
    fill = mode;
    update();
}

void PictureButton::setFontSize(int pixels)
{
    fontSize = pixels;
    update();
}

void PictureButton::setLargeCaption(bool on)
{
    large = on;
    update();
}

void PictureButton::setUrlMode(bool on, const QString& address)
{
    urlMode = on;
    url = address;
}

void PictureButton::setChoiceMode(bool on, bool isRadio, int choiceValue)
{
    choice = on;
    radioMember = isRadio;
    value = choiceValue;
}

void PictureButton::setNotifyToggle(bool on)
{
    notifyToggle = on;
}

int PictureButton::CaptionSize() const
{
    return large ? 16 : fontSize;
}

void PictureButton::PaintLook(QPainter& painter, int state) const
{
    if (state == 0)
        DrawImageStretchedWithOpacity(painter, image(0), width(), height(), 0.5);
    else
        DrawImageStretched(painter, image(1), width(), height());
}

void PictureButton::PaintCaption(QPainter& painter) const
{
    if (text().isEmpty())
        return;
    painter.setFont(MakeFont(family, CaptionSize(), true));
    painter.setPen(Qt::white);
    DrawTextBlock(painter, rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    if (fill == 0) {
        PaintLook(painter, State());
    } else if (fill == 2) {
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0x33, 0x8B, 0xC2));
        gradient.setColorAt(1, QColor(0x00, 0x58, 0x8F));
        painter.fillRect(rect(), gradient);
    }
    PaintCaption(painter);
    if (hasFocus())
        PaintFocusMark(painter, QRectF(rect()), FocusRadius());
}

void PictureButton::Activate()
{
    if (urlMode && !url.isEmpty())
        QDesktopServices::openUrl(QUrl(UrlForAddress(url))); // a failure to open is ignored
    if (choice) {
        if (!radioMember) {
            latchedOn = !latchedOn;
            if (notifyToggle && PostsToggle())
                PostWindowMessage(parentWidget(), WM_CHOICE_CHANGED, CHOICE_TOGGLED, 0);
            update();
        } else if (!latchedOn) {
            latchedOn = true;
            PostWindowMessage(parentWidget(), WM_CHOICE_CHANGED, value, 0);
            update();
        }
    }
}

void PictureButton::Press()
{
    if (!isEnabled())
        return;
    Activate();
    click();
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Activate();
    QAbstractButton::mousePressEvent(event);
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    // Space presses as the mouse does: the choice changes on the press, the click comes with the release.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        Activate();
    QAbstractButton::keyPressEvent(event);
}

void PictureButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    update();
}

void PictureButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    update();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking) {
        tracking = true;
        if (!hoveringOn && rect().contains(event->position().toPoint())) {
            hoveringOn = true;
            if (!latchedOn)
                update();
        }
    }
    QAbstractButton::mouseMoveEvent(event);
}

void PictureButton::enterEvent(QEnterEvent* event)
{
    tracking = true;
    hoveringOn = true;
    if (!latchedOn)
        update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event)
{
    tracking = false;
    hoveringOn = false;
    if (!latchedOn)
        update();
    QAbstractButton::leaveEvent(event);
}

bool PictureButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

QString UrlForAddress(const QString& address)
{
    if (address.contains(QStringLiteral("://")))
        return address;
    return QStringLiteral("http://") + address;
}
