#include "Sheet.h"

#include "ui/Drawing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

namespace {

constexpr int kGap = 14;
constexpr int kLabelHeight = 18;

// A cell's stage: the page background as it lies under the controls, and the box a text must fit in.
class Stage : public QWidget
{
public:
    Stage(QWidget* parent, QImage background, QRect box)
        : QWidget(parent)
        , background(std::move(background))
        , box(box)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!background.isNull())
            painter.drawImage(QPointF(0, 0), background);
        painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (!box.isEmpty()) {
            painter.setPen(QPen(QColor(255, 140, 200), 1, Qt::DashLine));
            painter.drawRect(box.adjusted(-1, -1, 0, 0));
        }
    }

private:
    QImage background;
    QRect box;
};

} // namespace

Sheet::Sheet(const QString& title, int maxWidth)
    : maxWidth(maxWidth)
{
    setAttribute(Qt::WA_DontShowOnScreen);
    setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(246, 247, 248));
    setPalette(palette);
    auto* heading = new QLabel(title, this);
    heading->setFont(MakeFont(QStringLiteral("Arial"), 18, true));
    heading->setStyleSheet(QStringLiteral("color: #2B3640"));
    heading->move(12, 10);
    heading->adjustSize();
    widest = heading->width() + 24;
}

QWidget* Sheet::AddCell(const QString& label, QSize size, int backgroundBitmap, QPoint pagePos, QRect box)
{
    if (x > 12 && x + size.width() > maxWidth)
        NewRow(); // (a long label may still widen the row a little)
    QImage background;
    if (backgroundBitmap != 0) {
        if (auto page = LoadBitmapResource(backgroundBitmap)) {
            const qreal ratio = page->devicePixelRatio();
            const QRect source(pagePos * ratio, size * ratio);
            background = page->copy(source);
            background.setDevicePixelRatio(ratio);
        }
    }
    auto* stage = new Stage(this, background, box);
    stage->setGeometry(x, y, size.width(), size.height());
    auto* caption = new QLabel(label, this);
    caption->setFont(MakeFont(QStringLiteral("Arial"), 11, false));
    caption->setStyleSheet(QStringLiteral("color: #55606A"));
    caption->adjustSize();
    const int cellWidth = std::max(size.width(), caption->width());
    caption->setGeometry(x, y + size.height() + 2, cellWidth, kLabelHeight - 2);
    x += cellWidth + kGap;
    widest = std::max(widest, x);
    rowHeight = std::max(rowHeight, size.height() + kLabelHeight);
    return stage;
}

void Sheet::NewRow()
{
    if (rowHeight == 0)
        return;
    x = 12;
    y += rowHeight + kGap;
    rowHeight = 0;
}

QImage Sheet::Render()
{
    resize(widest, y + rowHeight + kGap);
    show();
    // Cells and controls added after an earlier rendering are shown like the first ones (not those hidden on
    // purpose).
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->isHidden() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return grab().toImage();
}

bool Sheet::Save(const QString& path)
{
    const QImage image = Render();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path, "PNG");
}
