#include "app/StandInPage.h"

#include "app/AlertBox.h"
#include "i18n/Localization.h"
#include "ui/COrselButton.h"
#include "ui/COrselButton4.h"
#include "ui/COrselStatic.h"
#include "ui/CPageIndicator.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

namespace {

void SetImages(COrselButton* button, int disabled, int normal, int pressed, int hover)
{
    button->SetImage(0, disabled);
    button->SetImage(1, normal);
    button->SetImage(2, pressed);
    button->SetImage(3, hover);
}

int BackgroundFor(int number)
{
    switch (number) {
    case 1:
        return 3000;
    case 2:
        return 3008;
    case 3:
        return 3002;
    case 4:
        return 3003;
    case 5:
        return 3004;
    case 9:
        return 3005;
    default:
        return 3001;
    }
}

} // namespace

StandInPage::StandInPage(QWidget* hostWidget, int number)
    : QWidget(hostWidget)
    , pageNumber(number)
    , host(hostWidget)
{
    setObjectName(QStringLiteral("page%1").arg(number));
    setGeometry(0, 0, 860, 640);
    setFocusPolicy(Qt::StrongFocus);
    background = LoadBitmapResource(BackgroundFor(number)).value_or(QImage());

    auto* close = new COrselButton(this);
    close->setObjectName("closeButton");
    SetImages(close, 3041, 3038, 3040, 3039);
    close->setGeometry(823, 0, 37, 29);
    connect(close, &QAbstractButton::clicked, this, [this] { post(WM_WIZARD_NAV, NAV_CLOSE); });

    auto* minimise = new COrselButton(this);
    minimise->setObjectName("minimizeButton");
    SetImages(minimise, 3037, 3034, 3036, 3035);
    minimise->setGeometry(786, 0, 37, 29);
    connect(minimise, &QAbstractButton::clicked, this, [this] { post(WM_WIZARD_NAV, NAV_MINIMIZE); });

    auto* title = new COrselStatic(this);
    title->setObjectName("title");
    title->SetFont(32, MakeRgb(42, 169, 209), false);
    title->SetText(TitleFor(number));
    title->setGeometry(QRect(QPoint(72, 68), QPoint(678, 106)));

    if (number >= 2) {
        auto* indicator = new CPageIndicator(this);
        indicator->setObjectName("indicator");
        indicator->setTotal(11);
        indicator->setFilled(number - 1);
        indicator->setGeometry(QRect(QPoint(604, 83), QPoint(804, 113)));
    }

    auto* version = new COrselStatic(this);
    version->setObjectName("version");
    version->SetFont(14, MakeRgb(181, 181, 181), false);
    version->SetText(QStringLiteral("V 2.02.00"));
    version->setGeometry(QRect(QPoint(770, 600), QPoint(860, 660)));

    const QString nextText
        = number == 12 ? FromUtf8(Text("FINISH", "FINISH")) : FromUtf8(Text("Next", "Next")) + QStringLiteral("   >");
    const QString backText = QStringLiteral("<   ") + FromUtf8(Text("Back", "Back"));
    auto* next = new COrselButton4(this);
    next->setObjectName("nextButton");
    SetImages(next, 3045, 3042, 3044, 3043);
    next->setText(nextText);
    auto* backButton = new COrselButton4(this);
    backButton->setObjectName("backButton");
    SetImages(backButton, 3045, 3042, 3044, 3043);
    backButton->setText(backText);
    const int w = std::max(next->CaptionWidth(), backButton->CaptionWidth());
    next->setGeometry(448, 536, w + 40, 43);
    backButton->setGeometry(370 - w, 536, w + 40, 43);
    backButton->setVisible(number >= 2 && number <= 11);
    connect(next, &QAbstractButton::clicked, this, [this] { this->next(); });
    connect(backButton, &QAbstractButton::clicked, this, [this] { back(); });
}

QString StandInPage::TitleFor(int number)
{
    switch (number) {
    case 1:
        return FromUtf8(Text("Welcome", "Welcome"));
    case 2:
        return FromUtf8(Text("requirement_01", "What you need"));
    case 3:
    case 4:
    case 5:
        return FromUtf8(Text("intro_01", "Connect your device"));
    case 6:
        return FromUtf8(Text("nvrsearch_01", "Select your NVR device"));
    case 7:
        return FromUtf8(Text("nvrpwd_01", "Secure your NVR"));
    case 8:
        return FromUtf8(Text("SetupTimeZone_title", "Set time zone"));
    case 9:
        return FromUtf8(Text("hddformat_01", "Setup HDD for NVR"));
    case 10:
        return FromUtf8(Text("camsearch_01", "Add your cameras"));
    case 11:
        return FromUtf8(Text("veskor_01", "Quelmo Service"));
    case 12:
        return FromUtf8(Text("Summary_01", "Summary"));
    default:
        return QString();
    }
}

void StandInPage::SetProbeFlags(
    std::atomic<int32_t>* busy, std::atomic<int32_t>* refused, std::atomic<int32_t>* accepted)
{
    probeBusy = busy;
    defaultLoginRefused = refused;
    defaultLoginAccepted = accepted;
}

void StandInPage::SetPortal(const std::string& url, const std::string& number)
{
    portalUrl = url;
    portalNumber = number;
}

void StandInPage::post(int message, intptr_t wParam)
{
    PostWindowMessage(host, message, wParam);
}

// The messages of each page's own NEXT and BACK, in their order.
void StandInPage::next()
{
    switch (pageNumber) {
    case 6:
        post(WM_START_LOGIN_PROBE, 0);
        break;
    case 8:
        post(WM_STORAGE_WATCH, 0);
        break;
    case 9:
        post(WM_STORAGE_WATCH, 1);
        break;
    case 12:
        post(WM_WIZARD_NAV, NAV_FINISH);
        return;
    default:
        break;
    }
    post(WM_WIZARD_NAV, NAV_NEXT);
}

void StandInPage::back()
{
    switch (pageNumber) {
    case 8:
        post(WM_START_LOGIN_PROBE, 0);
        break;
    case 9:
        post(WM_STORAGE_WATCH, 1);
        break;
    case 10:
        post(WM_STORAGE_WATCH, 0);
        break;
    default:
        break;
    }
    post(WM_WIZARD_NAV, NAV_BACK);
}

bool StandInPage::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        if (message->message() == WM_PROBE_FAILED) {
            ++probeFailures;
        } else if (message->message() == WM_STORAGE_CHANGED) {
            ++storageReports;
        }
        return true;
    }
    return QWidget::event(event);
}

void StandInPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background.isNull())
        painter.fillRect(rect(), Qt::white);
    else
        PaintPageBackground(painter, background);
}

void StandInPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QWindow* window = this->window()->windowHandle();
    if (window != nullptr && window->startSystemMove())
        return;
    // The window system cannot move it: follow the mouse ourselves.
    dragging = true;
    dragStart = event->globalPosition().toPoint();
    pageStart = mapToGlobal(QPoint(0, 0));
}

void StandInPage::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging)
        return;
    const QPoint position = pageStart + event->globalPosition().toPoint() - dragStart;
    PostWindowMessage(host, WM_WIZARD_MOVE, position.x(), position.y());
}

void StandInPage::mouseReleaseEvent(QMouseEvent*)
{
    dragging = false;
}
