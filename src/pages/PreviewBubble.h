#pragma once
// The live preview: a speech bubble next to the clicked camera icon that shows the camera's current picture,
// asked for over and over on a thread of its own while the bubble is open. Only its close button closes it.

#include "device/PreviewStream.h"
#include "overlays/ModalLayer.h"
#include "ui/AccessibleControls.h"

#include <QRect>
#include <QString>
#include <string>

class PictureButton;
class PreviewPicture;

class PreviewBubble : public ModalLayer, public AccessibleOverlay
{
    Q_OBJECT
public:
    static constexpr int kWidth = 358;
    static constexpr int kHeight = 212;
    static constexpr int kTipX = 12; // the rounded body starts here; the tip is at x 0
    static constexpr int kDefaultTipY = 32;

    QString AccessibleTitle() const override;
    static constexpr QRect kPictureRect { 24, 32, 320, 170 };

    // A bubble over the page at pagePosition (window coordinates) pointing at anchor (page coordinates) for the
    // camera at address ("a.b.c.d", "a.b.c.d:" or "a.b.c.d:port") with its account and password; description is
    // shown above the picture (may be empty). The picture thread starts when the bubble shows.
    PreviewBubble(QWidget* inside, QPoint pagePosition, QPoint anchor, const std::string& address,
        const std::string& account, const std::string& password, const std::string& description);
    ~PreviewBubble() override; // stops the picture thread

    // Where the bubble goes for an anchor (page coordinates): 5 px right of it and 30 px above, moved inside the
    // page where a low row or a long page text would put it past an edge. tipY gets the tip's height in the
    // bubble, so that the tip still points at the anchor.
    static QRect PlaceBubble(QPoint anchor, int* tipY);

    QRect bubbleRect() const { return bubble; } // window coordinates
    int tipY() const { return tip; }
    PreviewPicture* preview() const { return picture; }
    PictureButton* closeButton() const { return close; }
    QString description() const { return descriptionText; }
    const PreviewStream& stream() const { return pictures; }

    // Ends the picture thread (closing its connection first); the bubble stays until closed.
    void StopPictures();

protected:
    void Started() override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect bubble;
    int tip = kDefaultTipY;
    std::string address;
    std::string account;
    std::string password;
    QString descriptionText;
    PreviewPicture* picture = nullptr;
    PictureButton* close = nullptr;
    PreviewStream pictures;
};
