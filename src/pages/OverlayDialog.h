#pragma once
// The base of every box drawn over a page and run modally: a child of the page's window placed at an offset
// from the page's origin, over a transparent layer that takes all input, ended with IDOK or IDCANCEL.

#include "pages/OverlayRunner.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

class COrselButton2;
class InputLayer;
class QEventLoop;

class OverlayDialog : public QWidget
{
    Q_OBJECT
public:
    // A box of boxInPage (page coordinates) over page. Nothing is shown before Run() or Present().
    OverlayDialog(QWidget* page, const QRect& boxInPage);
    ~OverlayDialog() override;

    // Shows the box over a layer that takes all input and waits in a local event loop until End();
    // returns the result. Posted messages keep being handled meanwhile.
    int Run();
    // Shows the box without waiting (drawing it for review): no loop, no layer.
    void Present();
    // Ends the run with result (IDOK or IDCANCEL); the box hides.
    void End(int result);
    int result() const { return endResult; }
    bool running() const { return loop != nullptr; }
    QWidget* page() const { return pageWidget; }

    // The box's fill and border (the default: white with a light grey border, radius 8).
    void setBoxLook(QColor fill, QColor border, int radius);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Handles a window message posted to the box.
    virtual void onMessage(int message, intptr_t wParam, intptr_t lParam);
    // A small close cross at the top right, top 15, size 14 x 14: it ends the run with IDCANCEL.
    COrselButton2* AddCloseCross(int size = 14, int top = 15, int right = 15);
    // A picture button (the NEXT/OK pictures, 43 high, 118 wide or the caption's width + 40) that ends the run
    // with result; the box places it.
    COrselButton2* AddButton(const QString& caption, int result);

private:
    QPointer<QWidget> pageWidget;
    QPointer<InputLayer> layer;
    QEventLoop* loop = nullptr;
    int endResult = IDCANCEL;
    QColor fillColour { Qt::white };
    QColor borderColour { 214, 218, 222 };
    int cornerRadius = 8;
};
