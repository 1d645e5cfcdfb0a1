#include "pages/OverlayDialog.h"

#include "ui/COrselButton2.h"
#include "ui/Drawing.h"
#include "ui/InputLayer.h"
#include "ui/WindowMessage.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

OverlayDialog::OverlayDialog(QWidget* page, const QRect& boxInPage)
    : QWidget(page != nullptr ? page->window() : nullptr)
    , pageWidget(page)
{
    QPoint origin(0, 0);
    if (page != nullptr && page->window() != page)
        origin = page->mapTo(page->window(), QPoint(0, 0));
    setGeometry(boxInPage.translated(origin));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground, false);
    hide();
}

OverlayDialog::~OverlayDialog()
{
    if (loop != nullptr)
        loop->exit(0);
    if (layer)
        layer->deleteLater();
}

int OverlayDialog::Run()
{
    if (loop != nullptr)
        return endResult;
    endResult = IDCANCEL;
    if (parentWidget() != nullptr) {
        layer = new InputLayer(parentWidget());
        layer->show();
        layer->raise();
    }
    show();
    raise();
    setFocus();
    QEventLoop local;
    loop = &local;
    local.exec();
    loop = nullptr;
    hide();
    if (layer) {
        layer->hide();
        layer->deleteLater();
    }
    return endResult;
}

void OverlayDialog::Present()
{
    show();
    raise();
}

void OverlayDialog::End(int result)
{
    endResult = result;
    hide();
    if (loop != nullptr)
        loop->exit(0);
}

void OverlayDialog::setBoxLook(QColor fill, QColor border, int radius)
{
    fillColour = fill;
    borderColour = border;
    cornerRadius = radius;
    update();
}

bool OverlayDialog::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        onMessage(message->message(), message->wParam(), message->lParam());
        return true;
    }
    return QWidget::event(event);
}

void OverlayDialog::onMessage(int, intptr_t, intptr_t) { }

void OverlayDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.setPen(QPen(borderColour, 1));
    painter.setBrush(fillColour);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}

void OverlayDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape do nothing in a box; it ends only through its own buttons.
    event->accept();
}

COrselButton2* OverlayDialog::AddCloseCross(int size, int top, int right)
{
    auto* cross = new COrselButton2(this);
    cross->setObjectName(QStringLiteral("closeCross"));
    cross->SetImage(0, 3060);
    cross->SetImage(1, 3060);
    cross->SetImage(2, 3061);
    cross->SetImage(3, 3061);
    cross->setGeometry(width() - right - size, top, size, size);
    connect(cross, &QAbstractButton::clicked, this, [this] { End(IDCANCEL); });
    return cross;
}

COrselButton2* OverlayDialog::AddButton(const QString& caption, int result)
{
    auto* button = new COrselButton2(this);
    button->SetImage(0, 3045);
    button->SetImage(1, 3042);
    button->SetImage(2, 3044);
    button->SetImage(3, 3043);
    button->setText(caption);
    button->resize(std::max(118, button->CaptionWidth() + 40), 43);
    connect(button, &QAbstractButton::clicked, this, [this, result] { End(result); });
    return button;
}
