#include "pages/CameraPasswordOverlay.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/ErrorAlert.h"
#include "platform/WaitTimeline.h"
#include "ui/AccessibleControls.h"
#include "ui/DeviceText.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"
#include "ui/TextLabel.h"
#include "ui/RoundedFrame.h"
#include "ui/Drawing.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimerEvent>

namespace {

constexpr int kPageWidth = 860;
constexpr int kPageHeight = 640;
constexpr double kPageOpacity = 153.0 / 255.0;
constexpr Argb kFrameBorder = 0xFFC0C0C0u;
constexpr int kTitleWidth = 457 - 48;

} // namespace

CameraPasswordOverlay::CameraPasswordOverlay(
    QWidget* page, Submit submitPassword, const QString& titleText, std::string refusedText)
    : ModalLayer(page)
    , submit(std::move(submitPassword))
    , refused(std::move(refusedText))
    , pageOrigin(OriginInWindow(page))
    , pageImage(page->grab().toImage())
{
    const QRect panel = panelRect();
    title = new TextLabel(this);
    title->setObjectName(QStringLiteral("title"));
    title->SetFont(14, MakeRgb(0, 0, 0), false);
    title->SetText(titleText);
    title->setGeometry(panel.x() + 48, panel.y() + 50, kTitleWidth, 100 - 50);

    closeCross = new PictureButton(this);
    closeCross->setObjectName(QStringLiteral("closeCross"));
    SetAccessibleText(closeCross, "Close", "Close");
    closeCross->setGeometry(panel.x() + 476, panel.y() + 10, 14, 14);
    for (int slot = 0; slot < 4; ++slot)
        closeCross->SetImage(slot, 3060);
    // The answer of a password already handed on still reaches the page: closing does not stop its worker.
    connect(closeCross, &QAbstractButton::clicked, this, [this] { End(IDCANCEL); });

    ok = new PictureButton(this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(panel.x() + 191, panel.y() + 207, 118, 43);
    ok->SetImage(0, 3045);
    ok->SetImage(1, 3042);
    ok->SetImage(2, 3044);
    ok->SetImage(3, 3043);
    ok->setText(FromUtf8(Text("OK", "OK")));
    connect(ok, &QAbstractButton::clicked, this, [this] { OnOk(); });
}

QRect CameraPasswordOverlay::panelRect() const
{
    return QRect(pageOrigin + QPoint(kPanelX, kPanelY), QSize(kPanelWidth, kPanelHeight));
}

QString CameraPasswordOverlay::titleText() const
{
    return title->text();
}

QString CameraPasswordOverlay::TitleFor(const char* key, const char* fallback, const std::string& cameraName)
{
    // A name wider than the title's box (the recorder reports whatever the camera calls itself) is cut with an
    // ellipsis, so the sentence around it stays readable.
    const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 14, false));
    const QString name = metrics.elidedText(ShownDeviceText(cameraName), Qt::ElideRight, kTitleWidth);
    QString text = FromUtf8(Text(key, fallback));
    text.replace(QStringLiteral("[Camera Name]"), name);
    return text;
}

TextLabel* CameraPasswordOverlay::addLabel(const char* name, const QString& text, int pixelSize, QRect where)
{
    auto* label = new TextLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->SetFont(pixelSize, MakeRgb(0, 0, 0), true);
    label->setRightAlign(true);
    label->SetText(text);
    label->setGeometry(where.translated(panelRect().topLeft()));
    return label;
}

PlainLineEdit* CameraPasswordOverlay::addEntry(const char* name, int frameId, QRect frame, QRect entry)
{
    const QPoint panel = panelRect().topLeft();
    auto* box = new RoundedFrame(this);
    box->setObjectName(QStringLiteral("frame%1").arg(frameId));
    box->setFill(0xFFFFFFFFu);
    box->setBorder(kFrameBorder, 1);
    box->setRadius(3);
    box->setGeometry(frame.translated(panel));

    auto* edit = new PlainLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    box->setFramedControl(edit);
    edit->setPasswordMode(true);
    edit->SetFont(17);
    edit->setTextMargins(0, 0, 0, 0);
    // No input method composes into a password, and no menu offers texts in another language than the pack's.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setGeometry(entry.translated(panel));
    return edit;
}

void CameraPasswordOverlay::submitPassword(const QString& password)
{
    pending.push_back(submit ? submit(password.toStdString()) : std::make_shared<std::atomic<int32_t>>(Refused));
    if (!timer.isActive()) {
        timer.start(kTickMs, this);
        WaitTimeline::Note("password overlay tick", kTickMs);
    }
}

void CameraPasswordOverlay::showError(const std::string& text)
{
    showingError = true;
    QPointer<CameraPasswordOverlay> alive(this);
    {
        ErrorAlert box(this, pageOrigin, text);
        box.Run();
    }
    if (!alive)
        return;
    showingError = false;
    if (IsRunning())
        firstEntry()->setFocus(Qt::OtherFocusReason);
}

void CameraPasswordOverlay::tick()
{
    if (showingError)
        return; // looked at again once the box is closed
    bool refusedNow = false;
    for (auto it = pending.begin(); it != pending.end();) {
        const int32_t answer = (*it)->load();
        if (answer == Accepted) {
            timer.stop();
            pending.clear();
            End(IDOK);
            return;
        }
        if (answer == Refused) {
            it = pending.erase(it);
            refusedNow = true;
        } else {
            ++it;
        }
    }
    if (pending.empty())
        timer.stop();
    else
        WaitTimeline::Note("password overlay tick", kTickMs);
    if (refusedNow)
        showError(refused); // the overlay stays open with its entries as they are
}

void CameraPasswordOverlay::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer.timerId())
        tick();
    else
        ModalLayer::timerEvent(event);
}

void CameraPasswordOverlay::keyPressEvent(QKeyEvent* event)
{
    event->accept(); // Enter and Escape do nothing; OK and the cross are the ways out
}

void CameraPasswordOverlay::Started()
{
    if (PlainLineEdit* entry = firstEntry())
        entry->setFocus(Qt::OtherFocusReason);
}

void CameraPasswordOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    // The page as it was when the overlay opened, dimmed: its image over black at alpha 153.
    QPainterPath page;
    page.addRoundedRect(QRectF(pageOrigin.x(), pageOrigin.y(), kPageWidth, kPageHeight), 6, 6);
    painter.fillPath(page, Qt::black);
    painter.save();
    painter.setClipPath(page);
    painter.setOpacity(kPageOpacity);
    painter.drawImage(pageOrigin, pageImage);
    painter.restore();

    const QRect panel = panelRect();
    painter.fillRect(panel, QColor(127, 127, 127));
    QPainterPath outline;
    outline.addRoundedRect(QRectF(panel).adjusted(1, 1, -1, -1), 6, 6);
    painter.fillPath(outline, Qt::white);
    painter.setPen(QPen(QColor(230, 230, 230), 2));
    painter.drawPath(outline);
}
