#pragma once
// What the camera page's two password overlays share: a layer exactly over the page that shows the page dimmed
// and a 500 x 300 panel with a title, a close cross and OK; a password handed on from OK is watched every 500 ms
// until the camera's answer comes: accepted closes the overlay, refused shows the overlay's error box.

#include "overlays/ModalLayer.h"
#include "ui/AccessibleControls.h"

#include <QBasicTimer>
#include <QImage>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PictureButton;
class TextLabel;
class PlainLineEdit;
class RoundedFrame;

class CameraPasswordOverlay : public ModalLayer, public AccessibleOverlay
{
    Q_OBJECT
public:
    // What a password handed on became: 0 pending, 1 refused, 2 accepted.
    enum : int32_t { Pending = 0, Refused = 1, Accepted = 2 };
    using Answer = std::shared_ptr<std::atomic<int32_t>>;
    // Hands a password on to be tried or set; the answer slot it returns is written when the camera has answered
    // (at once with Refused when nothing could be started).
    using Submit = std::function<Answer(const std::string& password)>;

    static constexpr int kPanelX = 180;
    static constexpr int kPanelY = 170;
    static constexpr int kPanelWidth = 500;
    static constexpr int kPanelHeight = 300;
    static constexpr int kTickMs = 500;

    // The panel in window coordinates.
    QRect panelRect() const;
    QString titleText() const;
    QString AccessibleTitle() const override { return titleText(); }
    // A password was handed on and its answer has not come yet.
    bool waiting() const { return !pending.empty(); }

    // The title's text of key with every "[Camera Name]" replaced by cameraName.
    static QString TitleFor(const char* key, const char* fallback, const std::string& cameraName);

protected:
    CameraPasswordOverlay(QWidget* page, Submit submit, const QString& title, std::string refusedText);

    // The panel's controls, at positions relative to the panel.
    TextLabel* addLabel(const char* name, const QString& text, int pixelSize, QRect where);
    PlainLineEdit* addEntry(const char* name, int frameId, QRect frame, QRect entry);

    // Hands the password on and starts watching its answer.
    void submitPassword(const QString& password);
    // The error box over the overlay, with text; the overlay stays open.
    void showError(const std::string& text);

    virtual void OnOk() = 0;
    virtual PlainLineEdit* firstEntry() const = 0;

    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void Started() override;

private:
    void tick();

    Submit submit;
    std::string refused;
    QPoint pageOrigin;
    QImage pageImage;
    TextLabel* title = nullptr;
    PictureButton* closeCross = nullptr;
    PictureButton* ok = nullptr;
    std::vector<Answer> pending;
    QBasicTimer timer;
    bool showingError = false;
};
