#include "pages/WizardPage.h"

#include "i18n/Localization.h"
#include "pages/GuideOverlays.h"
#include "ui/AccessibleControls.h"
#include "ui/LayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/ProgressDots.h"
#include "ui/PageTitle.h"
#include "ui/Drawing.h"
#include "ui/FocusOrder.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"
#include "platform/ProgramVersion.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

namespace {

LayeredPictureButton* MakeImageButton(QWidget* parent, const char* name, int disabled, int normal, int pressed, int hover)
{
    auto* button = new LayeredPictureButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->SetImage(0, disabled);
    button->SetImage(1, normal);
    button->SetImage(2, pressed);
    button->SetImage(3, hover);
    return button;
}

} // namespace

WizardPage::WizardPage(QWidget* host, int pageNumber, int backgroundId)
    : QWidget(host)
    , number(pageNumber)
{
    static const bool overlaysRegistered = [] {
        RegisterGuideOverlays();
        return true;
    }();
    (void)overlaysRegistered;
    // Fonts follow the language the texts are in; the language may have changed since the last page.
    SetTextLanguage(LanguageIndex());
    setObjectName(QStringLiteral("page%1").arg(pageNumber));
    setGeometry(0, 0, kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    // Decoded for this screen (1x or 2x) and fitted to the page once, so painting copies it pixel for pixel.
    if (auto bitmap = LoadBitmapResource(backgroundId, devicePixelRatioF()))
        background = FitPicture(*bitmap, QSize(kWidth, kHeight), devicePixelRatioF());

    close = MakeImageButton(this, "close", 3041, 3038, 3040, 3039);
    close->setGeometry(823, 0, 37, 29);
    SetAccessibleText(close, "Close", "Close");
    connect(close, &QAbstractButton::clicked, this, [this] { PostToHost(WM_WIZARD_NAV, NAV_CLOSE); });

    minimise = MakeImageButton(this, "minimise", 3037, 3034, 3036, 3035);
    minimise->setGeometry(786, 0, 37, 29);
    SetAccessibleText(minimise, "a11y_minimise", "Minimize");
    connect(minimise, &QAbstractButton::clicked, this, [this] { PostToHost(WM_WIZARD_NAV, NAV_MINIMIZE); });

    title = new PageTitle(this);
    title->setObjectName(QStringLiteral("title"));
    title->setGeometry(QRect(QPoint(72, 68), QPoint(678, 106)));

    const int step = StepOf(pageNumber);
    if (step > 0) {
        progress = new ProgressDots(this);
        progress->setObjectName(QStringLiteral("indicator"));
        progress->setGeometry(QRect(QPoint(604, 83), QPoint(804, 113)));
        progress->setTotal(11);
        progress->setRadius(6);
        progress->setGap(6);
        progress->setFilled(step);
    }

    next = MakeImageButton(this, "next", 3045, 3042, 3044, 3043);
    connect(next, &QAbstractButton::clicked, this, [this] { OnNext(); });
    back = MakeImageButton(this, "back", 3045, 3042, 3044, 3043);
    connect(back, &QAbstractButton::clicked, this, [this] { OnBack(); });
    skip = MakeImageButton(this, "skip", 3045, 3042, 3044, 3043);
    connect(skip, &QAbstractButton::clicked, this, [this] { OnSkip(); });
    next->hide();
    back->hide();
    skip->hide();

    version = new TextLabel(this);
    version->setObjectName(QStringLiteral("version"));
    version->SetFont(14, MakeRgb(181, 181, 181), false);
    version->setGeometry(QRect(QPoint(770, 600), QPoint(860, 660)));
    version->SetText(QString::fromLatin1(kProgramVersion));

    RetranslateFrame();
}

int WizardPage::StepOf(int pageNumber)
{
    return pageNumber >= 2 && pageNumber <= 12 ? pageNumber - 1 : 0;
}

bool WizardPage::ChineseText()
{
    const int index = LanguageIndex();
    return index == 4 || index == 5;
}

void WizardPage::SetTitle(const QString& text)
{
    title->SetText(text);
}

void WizardPage::ShowNavButtons(bool showBack, bool showNext)
{
    back->setVisible(showBack);
    next->setVisible(showNext);
}

void WizardPage::ShowSkipButton(bool show)
{
    skip->setVisible(show);
    RetranslateFrame();
}

void WizardPage::RetranslateFrame()
{
    next->setText(QString::fromStdString(Text("Next", "NEXT")) + QStringLiteral("   >"));
    back->setText(QStringLiteral("<   ") + QString::fromStdString(Text("Back", "BACK")));
    skip->setText(QString::fromStdString(Text("Skip", "Skip")));
    if (skip->isVisibleTo(this)) {
        // BACK, SKIP, NEXT with the frame's gap of 38 between them, the middle one centred on the page.
        const int w = std::max({ next->CaptionWidth(), back->CaptionWidth(), skip->CaptionWidth() }) + 40;
        constexpr int kGap = 38;
        constexpr int kCentre = 430;
        skip->setGeometry(kCentre - w / 2, 536, w, 43);
        back->setGeometry(skip->x() - kGap - w, 536, w, 43);
        next->setGeometry(skip->x() + w + kGap, 536, w, 43);
        return;
    }
    const int w = std::max(next->CaptionWidth(), back->CaptionWidth());
    next->setGeometry(448, 536, w + 40, 43);
    back->setGeometry(370 - w, 536, w + 40, 43);
}

void WizardPage::PostToHost(int message, intptr_t wParam, intptr_t lParam)
{
    PostWindowMessage(parentWidget(), message, wParam, lParam);
}

int WizardPage::OpenOverlay(int kind, const OverlayValues& values)
{
    Dimmer dimmer(this, kind);
    dimmer.values = values;
    return dimmer.DoModal();
}

bool WizardPage::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        onMessage(message->message(), message->wParam(), message->lParam());
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void WizardPage::onMessage(int message, intptr_t wParam, intptr_t)
{
    if (message == WM_OPEN_OVERLAY)
        OpenOverlay(static_cast<int>(wParam));
}

void WizardPage::OnNext()
{
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void WizardPage::OnBack()
{
    PostToHost(WM_WIZARD_NAV, NAV_BACK);
}

void WizardPage::OnSkip()
{
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

void WizardPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background.isNull())
        painter.fillRect(rect(), Qt::white);
    else
        PaintPageBackground(painter, background);
}

void WizardPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QWindow* handle = window()->windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return; // the window system moves the frame; the host follows as its child
    dragging = true;
    dragStartMouse = event->globalPosition().toPoint();
    dragStartPage = mapToGlobal(QPoint(0, 0));
}

void WizardPage::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging)
        return;
    const QPoint position = dragStartPage + (event->globalPosition().toPoint() - dragStartMouse);
    PostToHost(WM_WIZARD_MOVE, position.x(), position.y());
}

void WizardPage::mouseReleaseEvent(QMouseEvent*)
{
    dragging = false;
}

void WizardPage::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept(); // neither closes a page
        return;
    }
    QWidget::keyPressEvent(event);
}

bool WizardPage::focusNextPrevChild(bool next)
{
    return MoveFocusInReadingOrder(this, next);
}

void WizardPage::Leave() { }
