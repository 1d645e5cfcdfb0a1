#include "ui/LanguageCombo.h"

#include "ui/LanguageDropDown.h"
#include "ui/Drawing.h"
#include "ui/InputLayer.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QMouseEvent>
#include <QPainter>

void DrawComboArrow(QPainter& painter, const QRect& area, bool up)
{
    const int cx = area.center().x();
    const int top = area.center().y() - 2;
    for (int i = 0; i < 5; ++i) {
        const int half = up ? i : 4 - i;
        painter.drawLine(cx - half, top + i, cx + half, top + i);
    }
}

LanguageCombo::LanguageCombo(QWidget* parent)
    : PressableControl(parent)
    , family(QStringLiteral("Arial"))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    Layout();
}

void LanguageCombo::Press()
{
    OpenList();
}

LanguageCombo::~LanguageCombo()
{
    CloseList();
}

void LanguageCombo::SetStyle()
{
    family = QStringLiteral("Arial");
    size = 18;
    textRgb = MakeRgb(100, 100, 100);
    backRgb = MakeRgb(255, 255, 255);
    update();
}

void LanguageCombo::AddItem(const QString& text)
{
    if (count() >= kMaxItems)
        return;
    items.push_back(ComboItem { text, QRect() });
    update();
}

QString LanguageCombo::ItemText(int index) const
{
    if (index < 0 || index >= count())
        return QString();
    return items[static_cast<size_t>(index)].text;
}

void LanguageCombo::SetCurrent(int index)
{
    if (index < 0 || index >= count())
        return;
    currentIndex = index;
    update();
}

void LanguageCombo::Layout()
{
    const QRect client = rect();
    textArea = client.adjusted(0, 0, -32, 0);
    const int half = client.height() / 2;
    upArea = QRect(client.width() - 32, 0, 32, half);
    downArea = QRect(client.width() - 32, half, 32, client.height() - half);
    update();
}

void LanguageCombo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

LanguageDropDown* LanguageCombo::list() const
{
    return dropDown;
}

void LanguageCombo::CloseList()
{
    const bool hadFocus = (dropDown && dropDown->hasFocus()) || (layer && layer->hasFocus());
    if (dropDown) {
        dropDown->hide();
        dropDown->deleteLater();
    }
    if (layer) {
        layer->hide();
        layer->deleteLater();
    }
    dropDown = nullptr;
    layer = nullptr;
    if (hadFocus)
        setFocus(Qt::OtherFocusReason); // the keyboard goes on from the combo
}

void LanguageCombo::OpenList()
{
    CloseList();
    QWidget* top = window();
    const int itemHeight = height();
    const int n = count();
    int first = 0;
    if (currentIndex >= rows)
        first = currentIndex + rows < n ? currentIndex : n - rows;

    layer = new InputLayer(top);
    const QPoint origin = mapTo(top, QPoint(0, 0));
    const QRect comboInWindow(origin, QWidget::size());
    connect(layer, &InputLayer::pressedOutside, this, [this, comboInWindow](QPoint position) {
        if (comboInWindow.contains(position))
            OpenList(); // a click on the combo replaces the list
        else
            PostWindowMessage(this, WM_LANGUAGE_SELECTED, -1, 0);
    });
    connect(layer, &InputLayer::escapePressed, this, [this] { PostWindowMessage(this, WM_LANGUAGE_SELECTED, -1, 0); });

    std::vector<ComboItem> listItems = items;
    for (int i = 0; i < n; ++i)
        listItems[static_cast<size_t>(i)].rect = QRect(0, 20 + i * itemHeight, width(), itemHeight);
    dropDown = new LanguageDropDown(this, layer, std::move(listItems), rows, first, currentIndex, family, size);
    dropDown->setObjectName(objectName() + QStringLiteral("Items"));
    const int listHeight = itemHeight * std::min(n, rows) + 40;
    // The current item's row lies over the combo. Rows are shown from `first`, so the list moves down by the rows
    // scrolled away; with the list unscrolled this is the combo's bottom less (current + 1) rows and the top band.
    const int listTop = origin.y() + height() - itemHeight * (currentIndex - first + 1) - 20;
    dropDown->setGeometry(origin.x(), listTop, width(), listHeight);
    layer->show();
    layer->raise();
    dropDown->show();
    dropDown->setFocus(Qt::OtherFocusReason);
}

bool LanguageCombo::event(QEvent* event)
{
    if (const WindowMessage* message = AsWindowMessage(event)) {
        onMessage(message->message(), message->wParam(), message->lParam());
        return true;
    }
    return QWidget::event(event);
}

void LanguageCombo::onMessage(int message, intptr_t wParam, intptr_t)
{
    if (message != WM_LANGUAGE_SELECTED)
        return;
    const int index = static_cast<int>(wParam);
    if (index >= 0 && index < count())
        currentIndex = index;
    CloseList(); // also without a choice: the list was dismissed
    repaint();
    hoverUp = hoverDown = false;
    PostWindowMessage(parentWidget(), WM_LANGUAGE_SELECTED, index, 0);
}

void LanguageCombo::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    painter.fillRect(rect(), ColorFromRgb(backRgb));
    painter.setPen(QPen(QColor(230, 230, 230), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    if (!items.empty() && currentIndex < count()) {
        painter.setFont(MakeFont(family, size, false));
        painter.setPen(ColorFromRgb(textRgb));
        DrawTextBlock(
            painter, textArea, Qt::AlignCenter | Qt::TextSingleLine, items[static_cast<size_t>(currentIndex)].text);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(68, 202, 220), 1));
    DrawComboArrow(painter, upArea, true);
    DrawComboArrow(painter, downArea, false);
    if (hasFocus())
        PaintFocusMark(painter, QRectF(rect()), 3);
}

void LanguageCombo::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const bool onCombo = textArea.contains(p) || upArea.contains(p) || downArea.contains(p);
    if (event->button() == Qt::LeftButton && onCombo)
        OpenList();
    QWidget::mousePressEvent(event);
    if (onCombo)
        event->accept(); // the combo keeps its clicks: the page below must not start moving the window
}

void LanguageCombo::mouseReleaseEvent(QMouseEvent* event)
{
    update();
    QWidget::mouseReleaseEvent(event);
}

void LanguageCombo::leaveEvent(QEvent* event)
{
    hoverUp = hoverDown = false;
    update();
    QWidget::leaveEvent(event);
}
