#include "ui/SlimScrollBar.h"

#include "ui/Drawing.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

SlimScrollBar::SlimScrollBar(QWidget* parent)
    : QWidget(parent)
{
}

void SlimScrollBar::Attach(QAbstractItemView* view)
{
    if (list)
        disconnect(list->verticalScrollBar(), nullptr, this, nullptr);
    list = view;
    if (!list)
        return;
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* bar = list->verticalScrollBar();
    // While the thumb is dragged it follows the mouse; the list follows the thumb.
    connect(bar, &QScrollBar::valueChanged, this, [this] {
        if (!drag)
            Update();
    });
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
        if (!drag)
            Update();
    });
    Update();
}

void SlimScrollBar::SetImage(int pngId)
{
    topImage.Load(pngId, devicePixelRatioF());
    topImage.Fit(QSize(width(), top), devicePixelRatioF());
    update();
}

void SlimScrollBar::resizeEvent(QResizeEvent* event)
{
    topImage.Fit(QSize(width(), top), devicePixelRatioF());
    QWidget::resizeEvent(event);
}

int SlimScrollBar::ScrollLimit() const
{
    return list ? list->verticalScrollBar()->maximum() : 0;
}

int SlimScrollBar::ScrollPos() const
{
    return list ? list->verticalScrollBar()->value() : 0;
}

bool SlimScrollBar::ThumbVisible() const
{
    return ScrollLimit() > 0;
}

void SlimScrollBar::ClampThumb()
{
    if (thumbY > height() - 2 * thumbH)
        thumbY = height() - thumbH;
    if (thumbY < top)
        thumbY = top;
}

void SlimScrollBar::Update()
{
    const int limit = ScrollLimit();
    const int pos = ScrollPos();
    pixelsPerUnit = limit > 0 ? static_cast<double>(height() - top) / limit : 0.0;
    thumbY = top + static_cast<int>(pixelsPerUnit * pos);
    ClampThumb();
    update();
}

void SlimScrollBar::FitThumb()
{
    if (!list || !list->model())
        return;
    const int n = list->model()->rowCount(list->rootIndex());
    const int h = n > 0 ? list->visualRect(list->model()->index(0, 0, list->rootIndex())).height() : 0;
    const int track = height() - top;
    if (h <= 0 || track >= 4 * n * h)
        return;
    const int limit = ScrollLimit();
    if (limit > 0)
        thumbH = track / limit;
    for (int i = 0; i < 3 && thumbH >= track; ++i)
        thumbH /= 2;
    // A long list would get a thumb of a pixel or none at all: it stays big enough to see and to grab.
    thumbH = std::max(thumbH, std::min(kMinThumbHeight, track));
    Update();
}

void SlimScrollBar::paintEvent(QPaintEvent*)
{
    QImage buffer(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    buffer.setDevicePixelRatio(devicePixelRatioF());
    {
        QPainter painter(&buffer);
        PrepareGraphics(painter);
        painter.fillRect(rect(), Qt::white);
        DrawImageStretched(painter, topImage.image(), width(), top);
        if (ThumbVisible())
            painter.fillRect(QRect(0, thumbY, width(), thumbH), QColor(127, 127, 127));
    }
    QPainter target(this);
    target.drawImage(0, 0, buffer);
}

void SlimScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    pressOnThumb = QRect(QPoint(0, thumbY), QPoint(13, thumbY + thumbH - 1)).contains(p);
    drag = pressOnThumb;
    event->accept();
}

void SlimScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag || !list)
        return;
    const int limit = ScrollLimit();
    thumbY = static_cast<int>(event->position().y()) - thumbH / 3;
    pixelsPerUnit = limit > 0 ? std::max(0, height() - 2 * thumbH) / static_cast<double>(limit) : 0.0;
    if (pixelsPerUnit > 0) {
        const int target = std::clamp(static_cast<int>((thumbY - top) / pixelsPerUnit), 0, limit);
        // The list scrolls for real (its rows move and repaint); the thumb stays under the mouse while dragging.
        list->verticalScrollBar()->setValue(target);
    }
    ClampThumb();
    update();
}

void SlimScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Update();
    if (!pressOnThumb && !drag && list) {
        const bool down = event->position().y() > thumbY;
        QPointer<QAbstractItemView> target = list;
        // Paging is posted to the list like any other scroll request; the list's scroll signal updates the thumb.
        QMetaObject::invokeMethod(
            list,
            [target, down] {
                if (target)
                    target->verticalScrollBar()->triggerAction(
                        down ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
            },
            Qt::QueuedConnection);
        Update();
    }
    drag = false;
    pressOnThumb = false;
}
