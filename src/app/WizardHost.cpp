#include "app/WizardHost.h"

#include "overlays/ModalLayer.h"
#include "pages/CameraPage.h"
#include "pages/DiskPage.h"
#include "pages/HomePage.h"
#include "pages/CablingPowerPage.h"
#include "pages/CablingNetworkPage.h"
#include "pages/CablingLedPage.h"
#include "pages/RecorderPasswordPage.h"
#include "pages/RecorderSearchPage.h"
#include "pages/TimeZonePage.h"
#include "pages/CloudPage.h"
#include "pages/RequirementsPage.h"
#include "pages/SummaryPage.h"
#include "pages/WizardPage.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainterPath>
#include <QRegion>
#include <QTimer>

WizardHost::WizardHost(QWidget* frameWidget)
    : QWidget(frameWidget)
    , frame(frameWidget)
    , context(std::make_unique<WizardContext>(
          [this] {
              QMetaObject::invokeMethod(
                  this, [this] { probeFailed(); }, Qt::QueuedConnection);
          },
          [this] {
              QMetaObject::invokeMethod(
                  this, [this] { storageChanged(); }, Qt::QueuedConnection);
          }))
    , pageBuilder(&WizardHost::BuildStandardPage)
{
    setObjectName("wizardHost");
    setGeometry(7, 7, kWidth, kHeight);
    QPainterPath corners;
    corners.addRoundedRect(QRectF(0, 0, kWidth, kHeight), 6, 6);
    setMask(QRegion(corners.toFillPolygon().toPolygon()));
    hide();
}

WizardHost::~WizardHost()
{
    for (auto& slot : pageSlots) {
        if (auto* wizardPage = qobject_cast<WizardPage*>(slot.data()))
            wizardPage->Leave();
        delete slot.data();
    }
    context->StopServices();
}

int WizardHost::DoModal()
{
    if (loop != nullptr)
        return 0;
    QEventLoop localLoop;
    loop = &localLoop;
    endCode = 0;
    ending = false;
    ModalLayer::Reopen(window());
    qApp->installEventFilter(this);
    show();
    raise();
    currentPage = 1;
    showPage(1);
    localLoop.exec(QEventLoop::DialogExec);
    loop = nullptr;
    qApp->removeEventFilter(this);
    destroyShownPage();
    context->StopServices();
    return endCode;
}

QWidget* WizardHost::PageSlot(int n) const
{
    return n >= 1 && n <= kPageCount ? pageSlots[static_cast<size_t>(n)].data() : nullptr;
}

int WizardHost::ShownPageNumber() const
{
    for (int n = 1; n <= kPageCount; ++n)
        if (pageSlots[static_cast<size_t>(n)])
            return n;
    return 0;
}

QWidget* WizardHost::ShownPage() const
{
    return PageSlot(ShownPageNumber());
}

QWidget* WizardHost::BuildStandardPage(WizardHost* host, int n)
{
    WizardSession& session = host->Session();
    switch (n) {
    case 1:
        return new HomePage(host, session);
    case 2:
        return new RequirementsPage(host, session);
    case 3:
        return new CablingPowerPage(host, session);
    case 4:
        return new CablingNetworkPage(host, session);
    case 5:
        return new CablingLedPage(host, session);
    case 6:
        return new RecorderSearchPage(host, host->Context());
    case 7:
        return new RecorderPasswordPage(host, host->Context());
    case 8:
        return new TimeZonePage(host, host->Context());
    case 9:
        return new DiskPage(host, host->Context());
    case 10:
        return new CameraPage(host, host->Context());
    case 11:
        return new CloudPage(host, host->Context());
    case 12:
        // The summary copies the portal texts it shows when it is built.
        return new SummaryPage(host, session, host->Portal());
    default:
        return nullptr; // no such page
    }
}

void WizardHost::showPage(int n)
{
    // The cloud page only serves a recorder whose portal is reachable and not yet bound.
    if (n == 11 && (Portal().access != "1" || Portal().status == "1"))
        n = 12;
    if (n < 1 || n > kPageCount)
        return;
    destroyShownPage();
    QWidget* page = pageBuilder ? pageBuilder(this, n) : nullptr;
    if (page == nullptr)
        return;
    page->setParent(this);
    page->setGeometry(0, 0, kWidth, kHeight);
    pageSlots[static_cast<size_t>(n)] = page;
    page->show();
    page->setFocus(Qt::OtherFocusReason);
    saveScreenshot(n);
}

void WizardHost::saveScreenshot(int n)
{
    // The demo asks for a picture of the window at every page change, once the new page has been drawn.
    const QString folder = qEnvironmentVariable("HXT_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    const int sequence = ++screenshotCount;
    QTimer::singleShot(400, this, [this, folder, sequence, n] {
        const QString name = QStringLiteral("%1/%2-page%3.png")
                                 .arg(folder)
                                 .arg(sequence, 2, 10, QLatin1Char('0'))
                                 .arg(n, 2, 10, QLatin1Char('0'));
        window()->grab().save(name);
    });
}

void WizardHost::destroyShownPage()
{
    for (auto& slot : pageSlots) {
        if (!slot)
            continue;
        QWidget* page = slot.data();
        slot.clear();
        auto* wizardPage = qobject_cast<WizardPage*>(page);
        if (wizardPage != nullptr)
            wizardPage->Leave();
        page->hide();
        if (wizardPage != nullptr)
            wizardPage->ReleaseBackground();
        // Later, so a page whose own handler asked for the change is not destroyed under it.
        page->deleteLater();
    }
}

// The services call these from their own threads. The page slots belong to the interface thread and a
// page may be destroyed at any moment there, so the message is handed to the host's thread, which posts it
// to the page only if that page is the one shown then. A call still queued when the host goes is dropped.
void WizardHost::probeFailed()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (QWidget* page = PageSlot(7))
                PostWindowMessage(page, WM_PROBE_FAILED);
        },
        Qt::QueuedConnection);
}

void WizardHost::storageChanged()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (QWidget* page = PageSlot(9)) {
                PostWindowMessage(page, WM_STORAGE_CHANGED, reinterpret_cast<intptr_t>(Storage().ready),
                    reinterpret_cast<intptr_t>(Storage().plugged));
            }
        },
        Qt::QueuedConnection);
}

void WizardHost::endRun(int code)
{
    if (loop == nullptr || ending)
        return;
    ending = true;
    endCode = code;
    // The page goes first (its Leave stops its workers); then every local loop above this one ends: the page's
    // overlays and waiting boxes, the about box and a menu, so the run returns at once whatever was up.
    destroyShownPage();
    ModalLayer::CloseAll(window());
    for (int i = 0; i < 8 && QApplication::activePopupWidget() != nullptr; ++i)
        QApplication::activePopupWidget()->close();
    loop->quit();
}

void WizardHost::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    // Once the wizard ends, what the page's code below its overlays still posts changes nothing.
    if (ending)
        return;
    switch (message) {
    case WM_WIZARD_NAV:
        switch (wParam) {
        case NAV_BACK:
        case NAV_NEXT: {
            const int n = currentPage + (wParam == NAV_NEXT ? 1 : -1);
            if (n < 1 || n > kPageCount)
                return; // no such page: the shown page and the number stay
            currentPage = n;
            showPage(n);
            return;
        }
        case NAV_HOME:
            currentPage = 1;
            showPage(1);
            return;
        case NAV_CLOSE:
        case NAV_FINISH:
            endRun(static_cast<int>(wParam));
            return;
        case NAV_MINIMIZE:
            PostWindowMessage(frame, WM_WIZARD_NAV, NAV_MINIMIZE);
            return;
        default:
            return;
        }
    case WM_WIZARD_MOVE:
        PostWindowMessage(frame, WM_WIZARD_MOVE, wParam, lParam);
        return;
    case WM_START_LOGIN_PROBE:
        Probe().Start(Session().nvrIp, Session().nvrMac);
        return;
    case WM_STORAGE_WATCH:
        if (wParam == 0)
            Storage().Start(Session().nvrIp, Session().nvrMac, Session().nvrUser, Session().nvrPassword);
        else
            Storage().Stop();
        return;
    default:
        return;
    }
}

bool WizardHost::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        onMessage(message->message(), message->wParam(), message->lParam());
        return true;
    }
    return QWidget::event(event);
}

bool WizardHost::eventFilter(QObject* watched, QEvent* event)
{
    // Enter and Escape never reach the host or a page: neither closes anything.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) && watched->isWidgetType()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == this || isAncestorOf(widget))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
