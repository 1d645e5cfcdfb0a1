#include "ui/BusyIndicator.h"

#include "ui/Drawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
    , family(ChooseFontFamily(QStringLiteral("Verdana")))
{
    for (int i = 0; i < 8; ++i) {
        frames[static_cast<size_t>(i)].Load(4074 + i, devicePixelRatioF());
        frames[static_cast<size_t>(i)].Fit(QSize(kFrameSize, kFrameSize), devicePixelRatioF());
    }
}

void BusyIndicator::SetStyle(Argb textColour)
{
    family = ChooseFontFamily(QStringLiteral("Verdana"));
    colour = textColour;
    update();
}

void BusyIndicator::SetText(const QString& text)
{
    windowText = text;
    update();
}

void BusyIndicator::Layout()
{
    const QFontMetricsF metrics(MakeFont(family, 16, false));
    const QString shown = windowText + QStringLiteral("...");
    const int textWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(shown)));
    const int textHeight = static_cast<int>(std::ceil(metrics.height()));
    const int left = (width() - textWidth - 77) / 2;
    const int top = (height() - textHeight) / 2;
    textArea = QRect(left, top, textWidth, textHeight);
    // The spinner is centred on the text's middle line, so text and spinner read as one row.
    frameArea = QRect(left + textWidth, top + textHeight / 2 - kFrameSize / 2, kFrameSize, kFrameSize);
    for (FittedPicture& picture : frames)
        picture.Fit(frameArea.size(), devicePixelRatioF()); // the screen may have changed since
    update();
}

void BusyIndicator::Start(int limit)
{
    frameCounter = 0;
    frameLimit = limit;
    timer = 1000;
    ticker.start(kTickMs, this);
    update();
}

void BusyIndicator::Stop()
{
    ticker.stop();
    timer = -1;
}

void BusyIndicator::Tick()
{
    if (frameCounter < frameLimit) {
        ++frameCounter;
        update();
    } else {
        Stop();
    }
}

void BusyIndicator::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == ticker.timerId())
        Tick();
    else
        QWidget::timerEvent(event);
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), Qt::white);
    painter.setFont(MakeFont(family, 16, false));
    painter.setPen(ColorFromArgb(colour));
    DrawTextBlock(painter, textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
        windowText + QStringLiteral("..."));
    const QImage& picture = frame(frameCounter % 8);
    if (!picture.isNull())
        painter.drawImage(QRectF(frameArea), picture);
}
