#include "app/CTalvioDlg.h"

#include "app/AboutBox.h"
#include "app/CInterDialog.h"
#include "overlays/ModalLayer.h"
#include "platform/ProgramIcon.h"
#include "i18n/Localization.h"
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
#include <filesystem>
#include <fstream>
#include <xcb/xcb.h>

namespace {

constexpr int kStartDelayMs = 50;

// Whether windows can be translucent here: always under Wayland and offscreen; under X11 only while a
// compositing manager owns the _NET_WM_CM_S0 selection.
bool TranslucencyAvailable()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    static const char name[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (atom == nullptr)
        return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    if (owner == nullptr)
        return false;
    const bool owned = owner->owner != XCB_NONE;
    free(owner);
    return owned;
}

} // namespace

CTalvioDlg::CTalvioDlg()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName("talvioDlg");
    setWindowTitle(QStringLiteral("Setup Wizard"));
    setWindowIcon(QIcon(QStringLiteral(":/icon/3159.png")));
    translucent = TranslucencyAvailable();
    // Without translucency the frame is shown without its shadow, as a plain border around the host.
    if (translucent)
        setAttribute(Qt::WA_TranslucentBackground);
    SelectLanguage(0);
    setGeometry(0, 0, kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
    interDialog = new CInterDialog(this);
    paintShadow();
    InstallIcon();
}

CTalvioDlg::~CTalvioDlg() = default;

bool CTalvioDlg::InstallIcon()
{
    QFile resource(QStringLiteral(":/icon/3159.ico"));
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = resource.readAll();
    if (bytes.isEmpty())
        return false;
    const std::string dataFolder = ApplicationDataFolder();
    const std::string iconFolder = SystemIconFolder();
    if (dataFolder.empty() || iconFolder.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(dataFolder, error);
    if (error)
        return false;
    const std::string written = dataFolder + "HXT-914Q.ico";
    {
        std::ofstream out(written, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.constData(), bytes.size());
        if (!out)
            return false;
    }
    std::filesystem::create_directories(iconFolder, error);
    if (error)
        return false;
    std::filesystem::copy_file(written, InstalledIconPath(), std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

void CTalvioDlg::paintShadow()
{
    // Black, its alpha falling off linearly from the darkness at the host's edge to nothing at the window's edge:
    // the shadow's size is squeezed into the margin the frame has around the host, so it never ends in a rim.
    shadow = QImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    const double margin = (kWidth - CInterDialog::kWidth) / 2.0; // 7
    const double radius = 6.0; // the host's rounded corners
    const double halfWidth = CInterDialog::kWidth / 2.0 - radius;
    const double halfHeight = CInterDialog::kHeight / 2.0 - radius;
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            // How far the pixel's centre lies outside the host's rounded rectangle.
            const double qx = std::abs(x + 0.5 - kWidth / 2.0) - halfWidth;
            const double qy = std::abs(y + 0.5 - kHeight / 2.0) - halfHeight;
            const double outside
                = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
            // The outermost pixels (their centres half a pixel inside the window's edge) get none.
            const double fade = std::clamp(1.0 - (outside + 0.5) / margin, 0.0, 1.0);
            const int alpha = static_cast<int>(kShadowDarkness * fade + 0.5);
            line[x] = qRgba(0, 0, 0, alpha);
        }
    }
}

void CTalvioDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!translucent) {
        painter.fillRect(rect(), QColor(0xD8, 0xDB, 0xDE));
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, shadow);
}

void CTalvioDlg::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!hostStarted && !startTimer.isActive())
        startTimer.start(kStartDelayMs, this);
}

void CTalvioDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != startTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    startTimer.stop();
    if (hostStarted)
        return;
    hostStarted = true;
    QPointer<CTalvioDlg> alive(this);
    const int code = interDialog->DoModal();
    if (!alive)
        return;
    result = code;
    emit hostEnded(code);
    close();
}

bool CTalvioDlg::event(QEvent* event)
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

void CTalvioDlg::ShowAbout()
{
    if (ModalLayer::Top() != nullptr)
        return; // something modal is up already
    AboutBox about(this);
    about.Run();
}

void CTalvioDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setObjectName("frameMenu");
    menu.addAction(FromUtf8(Text("About", "About")) + QStringLiteral(" HXT-914Q Setup Wizard\u2026"), this,
        [this] { ShowAbout(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Minimize"), this, [this] { showMinimized(); });
    menu.exec(event->globalPos());
}

void CTalvioDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowAbout();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CTalvioDlg::closeEvent(QCloseEvent* event)
{
    // Closed from outside (the window manager, the task bar): the wizard ends as through its close button, so
    // the host stops its services first.
    if (interDialog->IsRunning()) {
        PostWindowMessage(interDialog, WM_WIZARD_NAV, NAV_CLOSE);
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void CTalvioDlg::mousePressEvent(QMouseEvent*)
{
    // A press on the shadow border moves the frame.
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}
