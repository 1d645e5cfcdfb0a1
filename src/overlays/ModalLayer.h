#pragma once
// A layer over the whole wizard window that runs modally in a local event loop: while it runs, nothing outside
// it (the page, the host, the frame) takes a click, a key or the wheel. The dimmer, the waiting box and the
// alerts are layers; each draws its own box on it and ends with OK or Cancel.

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QEventLoop;

class ModalLayer : public QWidget
{
    Q_OBJECT
public:
    enum Result { IDOK = 1, IDCANCEL = 2 };

    // Covers the window that `inside` belongs to and follows its size; hidden until Run.
    explicit ModalLayer(QWidget* inside);
    ~ModalLayer() override;

    // Shows the layer on top of everything and returns its result once End was called (IDCANCEL when the
    // layer was destroyed while it ran). Input outside the top-most running layer is dropped meanwhile.
    int Run();
    // Ends the run with result; the layer hides. Ignored when it does not run.
    void End(int result);
    bool IsRunning() const { return loop != nullptr; }

    // The running layer that takes input now, or nullptr.
    static ModalLayer* Top();
    // Ends every layer running in window with IDCANCEL, innermost first, and makes later runs there return
    // IDCANCEL at once: once the wizard ends, no local loop keeps it alive, whatever the code below a layer
    // does next. Reopen lifts that for a window that runs again.
    static void CloseAll(QWidget* window);
    static void Reopen(QWidget* window);
    static bool IsClosed(const QWidget* window);
    // The origin of widget in its window's coordinates (where a page's overlays place themselves).
    static QPoint OriginInWindow(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab stay among the layer's own controls, in reading order.
    bool focusNextPrevChild(bool next) override;
    // Called once the layer is shown and running (its first chance to start timers, or to place the focus).
    virtual void Started() { }
    // The control the keyboard starts on when Started placed the focus nowhere and the layer holds no entry
    // (entries come first); nullptr: the layer itself, and the first Tab goes to its first control.
    void setStartFocus(QWidget* control) { startFocus = control; }
    QWidget* startFocusControl() const { return startFocus; }

private:
    void placeStartFocus();

    QEventLoop* loop = nullptr;
    int* resultSlot = nullptr;
    QPointer<QWidget> startFocus;
};
