#pragma once
// The main window: the program's one top-level window, a frameless drop-shadow frame 874 x 654 that holds the
// wizard host 7 pixels inside and runs it 50 ms after it first appeared. It minimises, follows drags of the
// pages and offers the about box (context menu and F1).

#include <QBasicTimer>
#include <QImage>
#include <QWidget>
#include <array>
#include <utility>

class WizardHost;
class QMenu;

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 874;
    static constexpr int kHeight = 654;
    // Alpha of the shadow along the host's edge; it fades to nothing at the window's edge, 7 pixels out.
    static constexpr int kShadowDarkness = 150;

    MainWindow();
    ~MainWindow() override;

    WizardHost* host() const { return wizardHost; }
    bool started() const { return hostStarted; }
    // The code the host's run ended with (0 while it runs).
    int hostResult() const { return result; }
    // Whether the frame draws its shadow (the window system can show translucent windows).
    bool hasShadow() const { return translucent; }

    // Opens the about box (program name and version) over the wizard.
    void ShowAbout();
    // The frame's menu (about box, minimise) in the chosen language; the caller owns it.
    QMenu* BuildMenu();

    // Writes the program icon to the application-data folder and copies it to the icon folder. Silent: a
    // failed step ends it. True when both files were written.
    static bool InstallIcon();

signals:
    void hostEnded(int code);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void paintShadow();

    WizardHost* wizardHost;
    QBasicTimer startTimer; // timer 1004
    bool hostStarted = false;
    int result = 0;
    std::array<std::pair<QPoint, QImage>, 4> shadow; // the bands of the shadow around the host
    bool translucent = true;
};
