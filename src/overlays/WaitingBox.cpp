#include "overlays/WaitingBox.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "platform/WaitTimeline.h"
#include "ui/Drawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextSize = 16;
constexpr int kSpinnerSize = 44;

QFont BoxFont()
{
    return MakeFont(ChooseFontFamily("Verdana"), kTextSize, true);
}

} // namespace

WaitingBox::WaitingBox(QWidget* page, const std::atomic<int32_t>* busyFlag, int tickLimit, int mode)
    : ModalLayer(page)
    , opener(page)
    , busy(busyFlag)
    , limit(tickLimit)
    , textMode(mode)
{
    setObjectName("waitingBox");
    track = LoadPngResource(4060).value_or(QImage());
    for (size_t i = 0; i < arcs.size(); ++i)
        arcs[i] = LoadPngResource(4061 + static_cast<int>(i)).value_or(QImage());

    // The box is as wide as its widest text, so it does not jump while the dots change.
    const QFontMetrics metrics(BoxFont());
    int textWidth = 0;
    for (int step = 0; step < 3; ++step)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(textFor(step)));
    const int width = textWidth + 113;
    const QPoint origin = OriginInWindow(page);
    box = QRect(origin.x() + 430 - width / 2, origin.y() + 275, width, 86);
    refreshText();
}

void WaitingBox::SetFormatProgress(
    const std::atomic<int32_t>* diskFlag, const std::atomic<int32_t>* progressFlag, bool hd1EmptyFlag)
{
    currentDisk = diskFlag;
    progress = progressFlag;
    hd1Empty = hd1EmptyFlag;
}

QString WaitingBox::textFor(int step) const
{
    switch (textMode) {
    case HddFormat:
        return FromUtf8(Text("hddformat_14", "Formatting your HDD..."));
    case HddCheck:
        return FromUtf8(Text("hddformat_08", "Getting HDD Information, Please wait"));
    case Formatting:
        return QStringLiteral("formatting...");
    default:
        return FromUtf8(Text("Waiting", "Waiting")) + QString(step % 3 + 1, QLatin1Char('.'));
    }
}

void WaitingBox::refreshText()
{
    shownText = textFor(tickCount / 3);
    update();
}

void WaitingBox::Started()
{
    ticker.start(kTickMs, Qt::PreciseTimer, this);
    WaitTimeline::Note("waiting box tick", kTickMs);
}

void WaitingBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != ticker.timerId()) {
        ModalLayer::timerEvent(event);
        return;
    }
    if (!opener) { // the page went (the window is closing): its flags went with it
        ticker.stop();
        End(IDCANCEL);
        return;
    }
    frame = (frame + 1) % static_cast<int>(arcs.size());
    ++tickCount;
    if (tickCount % 3 == 0)
        refreshText();
    update(box.adjusted(-2, -2, 2, 2));
    if (tickCount >= limit || busy == nullptr || busy->load() == 0) {
        ticker.stop();
        End(IDOK);
        return;
    }
    WaitTimeline::Note("waiting box tick", kTickMs);
}

void WaitingBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    QPainterPath path;
    path.addRoundedRect(QRectF(box), 15, 15);
    painter.fillPath(path, QColor(0, 0, 0, 180));

    const QRect spinner(box.x() + 26, box.y() + (box.height() - kSpinnerSize) / 2, kSpinnerSize, kSpinnerSize);
    if (!track.isNull())
        painter.drawImage(spinner, track);
    if (!arcs[static_cast<size_t>(frame)].isNull())
        painter.drawImage(spinner, arcs[static_cast<size_t>(frame)]);

    const bool showProgress = (textMode == HddFormat || textMode == Formatting) && progress != nullptr && opener;
    const QRect textArea(box.x() + 84, box.y(), box.width() - 84 - 20, showProgress ? 52 : box.height());
    painter.setFont(BoxFont());
    painter.setPen(Qt::white);
    painter.drawText(textArea, Qt::AlignLeft | (showProgress ? Qt::AlignBottom : Qt::AlignVCenter), shownText);

    if (showProgress) {
        int disk = currentDisk != nullptr ? currentDisk->load() : 0;
        if (hd1Empty)
            disk = 1; // only HD2 holds a disk
        const int percent = std::clamp(progress->load(), 0, 100);
        const QString label = QStringLiteral("HD%1  %2%").arg(disk + 1).arg(percent);
        painter.setFont(MakeFont(ChooseFontFamily("Verdana"), 12, false));
        const int labelWidth = QFontMetrics(painter.font()).horizontalAdvance(QStringLiteral("HD2  100%")) + 8;
        const QRect bar(textArea.x(), box.y() + 60, textArea.width() - labelWidth, 6);
        DrawRoundedBox(painter, bar.x(), bar.y(), bar.width(), bar.height(), 3, 0x40FFFFFFu, 0x40FFFFFFu, 0);
        if (percent > 0) {
            const int filled = std::max(6, bar.width() * percent / 100);
            DrawRoundedBox(painter, bar.x(), bar.y(), filled, bar.height(), 3, 0xFF2AA9D1u, 0xFF2AA9D1u, 0);
        }
        painter.setPen(QColor(220, 220, 220));
        painter.drawText(QRect(bar.right() + 8, bar.y() - 6, labelWidth, 18), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}
