#pragma once
// The frame every page of the wizard shares: background, close and minimise buttons, title, progress
// indicator, NEXT and BACK sized from their texts, the version label and dragging. Pages post to the host.

#include "overlays/Dimmer.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

class LayeredPictureButton;
class TextLabel;
class ProgressDots;
class PageTitle;

class WizardPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 640;

    // A page of number pageNumber (1..12) filling host, painted with background bitmap backgroundId.
    WizardPage(QWidget* host, int pageNumber, int backgroundId);

    int pageNumber() const { return number; }
    // The progress step the page shows: pages 2 to 12 are steps 1 to 11, the home page has none (0).
    static int StepOf(int pageNumber);

    void SetTitle(const QString& title);
    // Shows BACK and NEXT (either may be left out), both as wide as the wider text + 40.
    void ShowNavButtons(bool back, bool next);
    // Shows SKIP between BACK and NEXT: the three then share the widest text + 40 and stand centred on the page.
    void ShowSkipButton(bool show);
    // Sets the frame's texts (NEXT, BACK) again in the current language and resizes the buttons.
    void RetranslateFrame();

    PageTitle* pageTitle() const { return title; }
    LayeredPictureButton* nextButton() const { return next; }
    LayeredPictureButton* backButton() const { return back; }
    LayeredPictureButton* skipButton() const { return skip; }
    LayeredPictureButton* closeButton() const { return close; }
    LayeredPictureButton* minimiseButton() const { return minimise; }
    ProgressDots* indicator() const { return progress; }
    TextLabel* versionLabel() const { return version; }

    // Posts a message to the host (the page's parent).
    void PostToHost(int message, intptr_t wParam = 0, intptr_t lParam = 0);
    // Runs the dimmer of kind over this page and returns its result (ModalLayer::IDOK or IDCANCEL).
    int OpenOverlay(int kind, const OverlayValues& values = {});

    // Whether a text of the current language needs breaks inside words (the two Chinese packs).
    static bool ChineseText();

    // The host calls this once on every way the page goes (navigation, the close button, the window closed from
    // outside, the end of the wizard), before it destroys the page. A page that starts workers stops and joins
    // them here, so none outlives the page; once it returns the page posts nothing and touches no shared object.
    // The host may call it while one of the page's own overlays still runs: the page must not wait for the
    // user there. When the wizard ends that way, the overlay then returns Cancel, any overlay the page's code
    // opens afterwards returns Cancel at once, and what it posts changes nothing. The frame's own version does
    // nothing.
    virtual void Leave();
    // Drops the background picture of a page that is hidden for good (the host destroys it later), so the next
    // page's picture is not decoded beside it.
    void ReleaseBackground() { background = QImage(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab walk the page's controls in reading order.
    bool focusNextPrevChild(bool next) override;

    // Handles a window message posted to the page. The frame's own: WM_OPEN_OVERLAY runs the dimmer of the
    // kind and ignores its result.
    virtual void onMessage(int message, intptr_t wParam, intptr_t lParam);
    // NEXT, BACK and SKIP: post NAV_NEXT, NAV_BACK and NAV_NEXT.
    virtual void OnNext();
    virtual void OnBack();
    virtual void OnSkip();

private:
    int number;
    QImage background;
    PageTitle* title = nullptr;
    LayeredPictureButton* close = nullptr;
    LayeredPictureButton* minimise = nullptr;
    ProgressDots* progress = nullptr;
    LayeredPictureButton* next = nullptr;
    LayeredPictureButton* back = nullptr;
    LayeredPictureButton* skip = nullptr;
    TextLabel* version = nullptr;
    bool dragging = false;
    QPoint dragStartMouse;
    QPoint dragStartPage;
};
