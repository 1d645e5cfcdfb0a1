#pragma once
// The waiting animation: a text followed by "..." and a spinner of eight frames that turns every 200 ms until a
// frame limit, then keeps its last frame.

#include "ui/Colours.h"

#include "ui/FittedPicture.h"

#include <QBasicTimer>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>

class BusyIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    // Family "Verdana" (else "Arial"), size 16, ARGB colour.
    void SetStyle(Argb colour);
    void SetText(const QString& text);
    // Places the text and the spinner (centred on the text's middle line) in the middle of the control.
    void Layout();
    // Restarts the animation from frame 0; it advances one frame a tick until limit ticks.
    void Start(int limit);
    void Stop();
    // One timer tick.
    void Tick();

    int counter() const { return frameCounter; }
    int timerId() const { return timer; }
    bool isRunning() const { return ticker.isActive(); }
    QRect textRect() const { return textArea; }
    QRect frameRect() const { return frameArea; }
    // Spinner frame i (0 to 7) as painting draws it.
    const QImage& frame(int i) const { return frames[static_cast<size_t>(i & 7)].image(); }
    QString text() const { return windowText; }
    static constexpr int kTickMs = 200;
    static constexpr int kFrameSize = 60;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    std::array<FittedPicture, 8> frames; // fitted to the 60 x 60 frame rectangle
    QString windowText;
    QString family;
    Argb colour = 0xFF2AA9D1u;
    int frameCounter = 0;
    int frameLimit = 0;
    int timer = -1;
    QBasicTimer ticker;
    QRect textArea;
    QRect frameArea;
};
