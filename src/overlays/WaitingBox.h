#pragma once
// The waiting box: a dark rounded box with a spinner and a text, centred on the page, that stays while the
// opener's busy flag is not 0 and at most its tick limit of 100 ms ticks. It never says whether the work
// succeeded; the opener reads its own result flags afterwards.

#include "overlays/ModalLayer.h"
#include "ui/AccessibleControls.h"

#include <QBasicTimer>
#include <QImage>
#include <QPointer>
#include <array>
#include <atomic>
#include <cstdint>

class WaitingBox : public ModalLayer, public AccessibleOverlay
{
    Q_OBJECT
public:
    enum Mode { Waiting = 0, HddFormat = 1, HddCheck = 2, Formatting = 3 };
    static constexpr int kTickMs = 100;
    static constexpr int kDefaultTickLimit = 500;

    // Over `page`; the box ends when *busy is 0 at a tick (a null flag counts as 0).
    WaitingBox(
        QWidget* page, const std::atomic<int32_t>* busy, int tickLimit = kDefaultTickLimit, int mode = Waiting);

    // The formatting mode's progress line: the port being formatted (0 HD1, 1 HD2), its percentage, and
    // whether HD1 holds no disk (then only HD2 is formatted).
    void SetFormatProgress(
        const std::atomic<int32_t>* currentDisk, const std::atomic<int32_t>* progress, bool hd1Empty);

    int DoModal() { return Run(); }

    int ticks() const { return tickCount; }
    int tickLimit() const { return limit; }
    int mode() const { return textMode; }
    QString text() const { return shownText; }
    QString AccessibleTitle() const override { return shownText; }
    QRect boxRect() const { return box; }
    int spinnerFrame() const { return frame; }

protected:
    void Started() override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString textFor(int step) const;
    void refreshText();

    QPointer<QWidget> opener; // the flags below belong to it: once it is gone they are not read
    const std::atomic<int32_t>* busy;
    const std::atomic<int32_t>* currentDisk = nullptr;
    const std::atomic<int32_t>* progress = nullptr;
    bool hd1Empty = false;
    int limit;
    int textMode;
    int tickCount = 0;
    int frame = 0;
    QString shownText;
    QRect box;
    QBasicTimer ticker;
    QImage track;
    std::array<QImage, 7> arcs;
};
