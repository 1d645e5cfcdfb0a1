#include "app/MainWindow.h"

#include "app/TranslucentWindows.h"
#include "app/WizardHost.h"
#include "i18n/Localization.h"
#include "overlays/AboutBox.h"
#include "overlays/ModalLayer.h"
#include "platform/ProgramIcon.h"
#include "platform/WaitTimeline.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimerEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kStartDelayMs = 50;

} // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName("mainWindow");
    setWindowTitle(QStringLiteral("Setup Wizard"));
    translucent = TranslucencyAvailable();
    // Without translucency the frame is shown without its shadow, as a plain border around the host.
    if (translucent)
        setAttribute(Qt::WA_TranslucentBackground);
    SelectLanguage(0);
    setGeometry(0, 0, kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
    wizardHost = new WizardHost(this);
    paintShadow();
}

MainWindow::~MainWindow() = default;

bool MainWindow::InstallIcon()
{
    QFile resource(QStringLiteral(":/icon/3159.ico"));
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = resource.readAll();
    return InstallProgramIcon(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void MainWindow::paintShadow()
{
    // Black, its alpha falling off linearly from the darkness at the host's edge to nothing at the window's edge:
    // the shadow's size is squeezed into the margin the frame has around the host, so it never ends in a rim.
    // Only the band the host leaves visible is kept: its 7 pixels around the host and the host's rounded corners.
    constexpr int band = 7 + 6;
    const QRect bands[] = { { 0, 0, kWidth, band }, { 0, kHeight - band, kWidth, band },
        { 0, band, band, kHeight - 2 * band }, { kWidth - band, band, band, kHeight - 2 * band } };
    const double margin = (kWidth - WizardHost::kWidth) / 2.0; // 7
    const double radius = 6.0; // the host's rounded corners
    const double halfWidth = WizardHost::kWidth / 2.0 - radius;
    const double halfHeight = WizardHost::kHeight / 2.0 - radius;
    for (size_t i = 0; i < shadow.size(); ++i) {
        QImage strip(bands[i].size(), QImage::Format_ARGB32_Premultiplied);
        for (int sy = 0; sy < strip.height(); ++sy) {
            auto* line = reinterpret_cast<QRgb*>(strip.scanLine(sy));
            const int y = bands[i].top() + sy;
            for (int sx = 0; sx < strip.width(); ++sx) {
                const int x = bands[i].left() + sx;
                // How far the pixel's centre lies outside the host's rounded rectangle.
                const double qx = std::abs(x + 0.5 - kWidth / 2.0) - halfWidth;
                const double qy = std::abs(y + 0.5 - kHeight / 2.0) - halfHeight;
                const double outside
                    = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
                // The outermost pixels (their centres half a pixel inside the window's edge) get none.
                const double fade = std::clamp(1.0 - (outside + 0.5) / margin, 0.0, 1.0);
                const int alpha = static_cast<int>(kShadowDarkness * fade + 0.5);
                line[sx] = qPremultiply(qRgba(0, 0, 0, alpha));
            }
        }
        shadow[i] = { bands[i].topLeft(), std::move(strip) };
    }
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!translucent) {
        painter.fillRect(rect(), QColor(0xD8, 0xDB, 0xDE));
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const auto& [place, strip] : shadow)
        painter.drawImage(place, strip);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!hostStarted && !startTimer.isActive()) {
        startTimer.start(kStartDelayMs, this);
        WaitTimeline::Note("frame start delay", kStartDelayMs);
        // The frame's work while it waits: the installed copy of the icon (the desktop entry names it), and the
        // text faces the first page will draw with.
        InstallIcon();
        OpenTextFaces();
    }
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != startTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    startTimer.stop();
    if (hostStarted)
        return;
    hostStarted = true;
    // The window's icon, decoded on the picture thread while the frame waited.
    if (auto icon = LoadIconResource(3159))
        setWindowIcon(QIcon(QPixmap::fromImage(*icon)));
    QPointer<MainWindow> alive(this);
    const int code = wizardHost->DoModal();
    if (!alive)
        return;
    result = code;
    emit hostEnded(code);
    close();
}

bool MainWindow::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        if (message->message() == WM_WIZARD_NAV) {
            if (message->wParam() == NAV_MINIMIZE)
                showMinimized();
            else if (message->wParam() == NAV_CLOSE || message->wParam() == NAV_FINISH)
                close();
        } else if (message->message() == WM_WIZARD_MOVE) {
            move(static_cast<int>(message->wParam()) - 7, static_cast<int>(message->lParam()) - 7);
        }
        return true;
    }
    return QWidget::event(event);
}

void MainWindow::ShowAbout()
{
    if (ModalLayer::Top() != nullptr)
        return; // something modal is up already
    AboutBox about(this, wizardHost->geometry().topLeft());
    about.Run();
}

QMenu* MainWindow::BuildMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName("frameMenu");
    menu->addAction(FromUtf8(Text("wizard_01", "About [Model Name] Setup Wizard..."))
                        .replace(QStringLiteral("[Model Name]"), QStringLiteral("HXT-914Q")),
        this, [this] { ShowAbout(); });
    menu->addSeparator();
    menu->addAction(FromUtf8(Text("wizard_02", "Minimize")), this, [this] { showMinimized(); });
    return menu;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = BuildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->exec(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowAbout();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed from outside (the window manager, the task bar): the wizard ends as through its close button, so
    // the host stops its services first.
    if (wizardHost->IsRunning()) {
        PostWindowMessage(wizardHost, WM_WIZARD_NAV, NAV_CLOSE);
        event->ignore();
        return;
    }
    // Closed before the host ran: it never will.
    startTimer.stop();
    hostStarted = true;
    QWidget::closeEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent*)
{
    // A press on the shadow border moves the frame.
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}
