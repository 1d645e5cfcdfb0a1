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
#include <QPainterPath>
#include <QPointer>
#include <QTimerEvent>
#include <QWindow>
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
    // Black, its alpha falling off linearly from the darkness at the host's edge to 0 at the shadow's size.
    shadow = QImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    QPainter painter(&shadow);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(7, 7, CInterDialog::kWidth, CInterDialog::kHeight);
    // Nested layers: a pixel d pixels outside the edge lies under size - d + 1 of them.
    const double layer = 1.0 - std::pow(1.0 - kShadowDarkness / 255.0, 1.0 / kShadowSize);
    for (int d = kShadowSize; d >= 1; --d) {
        QPainterPath ring;
        ring.addRoundedRect(area.adjusted(-d, -d + 1, d, d + 1), 6 + d, 6 + d);
        painter.fillPath(ring, QColor(0, 0, 0, static_cast<int>(layer * 255.0 + 0.5)));
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
