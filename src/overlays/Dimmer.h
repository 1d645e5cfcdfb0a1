#pragma once
// The dimmer: darkens the page that opened it (black at alpha 153, rounded corners 6) and, 50 ms after it
// appeared, runs the overlay of its kind on top; it then ends with OK or Cancel as the kind's rule says.

#include "overlays/ModalLayer.h"

#include <QBasicTimer>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <string>

// The values an opener hands on to the overlay of a kind (each kind reads the ones it names).
struct OverlayValues
{
    int mode = 0; // reset help: mode number; alarm: 1 format warning, 0 no disk
    bool cancelButton = false; // alarm: show CANCEL
    std::string text; // MAC label: the MAC text; error: the error text (empty: the default); no device: what
                      // was searched, one interface per line; alarm: the disks
    std::string address; // preview: camera address
    int port = 0; // preview: camera port
    std::string texts[3]; // preview: the camera's three texts
    intptr_t value = 0; // preview: one more value
    // Preview: where the bubble's tip points (the clicked icon), in the coordinates of the page that opens the
    // dimmer (offsets from the page's top-left corner, as QWidget::mapTo(page, ...) gives them).
    QPoint anchor;
    int retryResult = 0; // error: non-zero adds a RETRY button that ends the box with this result
    std::string closeCaption; // error: the caption of the button that ends the box with OK (empty: "Close")
};

// Builds the overlay of a kind over the dimmer at the page position, runs it modally and returns its result
// (ModalLayer::IDOK when it closed with its OK command, anything else for Cancel).
using OverlayRunner = std::function<int(QWidget* dimmer, QPoint pagePosition, const OverlayValues& values)>;

class Dimmer : public ModalLayer
{
    Q_OBJECT
public:
    enum Kind {
        KindAbout = 1,
        KindLedRed = 2,
        KindReset = 3,
        KindMacDisplay = 4,
        KindAlarm = 5,
        KindInstallCam = 6,
        KindCameraPwd = 7,
        KindPreview = 8,
        KindTerms = 9,
        KindNetAlarm = 12,
        KindNoDevice = 13,
        KindError = 14,
        KindPortalHost = 15, // text: the portal host the recorder names; OK sends the account there
    };

    // Dims `page` (its position in the window is the page position the overlays use).
    Dimmer(QWidget* page, int kind);

    OverlayValues values;

    // Runs the dimmer and its overlay; the dimmer's result (IDOK or IDCANCEL).
    int DoModal();

    int kind() const { return overlayKind; }
    QPoint pagePosition() const { return pageOrigin; }
    // The overlay result seen during the run (0 before the overlay ended or when none ran).
    int overlayResult() const { return lastOverlayResult; }

    // Who builds the overlays of kinds this library does not know (the guide and camera overlays).
    static void RegisterOverlay(int kind, OverlayRunner runner);
    static bool HasOverlay(int kind);
    // The dimmer's result for an overlay of kind that ended with overlayResult.
    static int ResultFor(int kind, int overlayResult);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void Started() override;

private:
    void runOverlay();

    int overlayKind;
    QPoint pageOrigin;
    QBasicTimer startTimer;
    int lastOverlayResult = 0;
};
