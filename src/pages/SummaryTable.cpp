#include "pages/SummaryTable.h"

#include "overlays/AlertBox.h"
#include "i18n/Localization.h"
#include "ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kHeaderWidth = 120;
const QColor kLabel(0x63, 0x65, 0x66); // ARGB 0xff636566
const QColor kValue(0x2a, 0xa9, 0xd1); // ARGB 0xff2aa9d1
const QColor kHeader(0x2a, 0xa9, 0xd1);
const QColor kRule(0xe6, 0xe8, 0xeb);

QString PasswordLabel()
{
    return FromUtf8(Text("Password", "Password")) + QStringLiteral(": ");
}

QString EmailLabel()
{
    return FromUtf8(Text("E-mail", "Email")) + QStringLiteral(": ");
}

} // namespace

// The height of each kind before camera rows are counted: the recorder alone, with the cloud account, with the
// cameras, with both.
static int BaseHeight(bool showCloud, bool showCameras)
{
    if (showCameras)
        return showCloud ? 240 : 190;
    return showCloud ? 140 : 85;
}

SummaryTable::SummaryTable(QWidget* parent, bool showCloud, bool showCameras)
    : QWidget(parent)
    , cloud(showCloud)
    , cameras(showCameras)
    , baseHeight(BaseHeight(showCloud, showCameras))
{
    setObjectName(QStringLiteral("summaryTable"));
}

void SummaryTable::SetValues(
    const QString& nvrPassword, const QString& cloudEmail, const QString& cloudPassword, const QStringList& cameraNames)
{
    password = nvrPassword;
    email = cloudEmail;
    emailPassword = cloudPassword;
    names = cameraNames;
    resize(width(), TableHeight());
    update();
}

int SummaryTable::CamerasTop() const
{
    return kNvrHeight + (cloud ? kCloudHeight : 0);
}

QRect SummaryTable::CameraTextRect(int i) const
{
    const int y = CamerasTop() + 10 + (i / 2) * kRowPitch;
    return i % 2 == 0 ? QRect(150, y, 250, 22) : QRect(430, y, 200, 22);
}

int SummaryTable::CameraMarkerX(int i) const
{
    return i % 2 == 0 ? 140 : 420;
}

int SummaryTable::TableHeight() const
{
    if (!cameras || names.isEmpty())
        return baseHeight;
    const int rows = (static_cast<int>(names.size()) + 1) / 2;
    return std::max(baseHeight, CamerasTop() + 10 + (rows - 1) * kRowPitch + 22 + 4); // the last row's box and a margin
}

QStringList SummaryTable::Lines() const
{
    QStringList lines { QStringLiteral("NVR"), PasswordLabel() + password };
    if (cloud) {
        lines << FromUtf8(Text("quelmo", "quelmo")) << EmailLabel() + email << PasswordLabel() + emailPassword;
    }
    if (cameras) {
        lines << FromUtf8(Text("Cameras", "Cameras"));
        lines += names;
    }
    return lines;
}

void SummaryTable::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    const QString family = ChooseFontFamily(QStringLiteral("Verdana"));
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(frame, 6, 6);
    painter.fillPath(outline, Qt::white);

    struct Section
    {
        QString header;
        int top;
        int height;
    };
    std::vector<Section> sections { { QStringLiteral("NVR"), 0, kNvrHeight } };
    if (cloud)
        sections.push_back({ FromUtf8(Text("quelmo", "quelmo")), kNvrHeight, kCloudHeight });
    if (cameras)
        sections.push_back({ FromUtf8(Text("Cameras", "Cameras")), CamerasTop(), height() - CamerasTop() });

    // The header column: blue cells, white names, a white rule between sections.
    painter.save();
    painter.setClipPath(outline);
    for (const Section& section : sections) {
        const QRect cell(0, section.top, kHeaderWidth, section.height);
        painter.fillRect(cell, kHeader);
        painter.setPen(Qt::white);
        painter.setFont(MakeFont(family, 16, true));
        painter.drawText(cell.adjusted(8, 0, -8, 0), Qt::AlignCenter | Qt::TextWordWrap, section.header);
        if (section.top > 0) {
            painter.fillRect(QRect(0, section.top, kHeaderWidth, 1), Qt::white);
            painter.fillRect(QRect(kHeaderWidth, section.top, width() - kHeaderWidth, 1), kRule);
        }
    }
    painter.restore();
    painter.setPen(QPen(kRule, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);

    const QFont labelFont = MakeFont(family, 14, false);
    const QFont valueFont = MakeFont(family, 14, true);
    auto drawPair = [&](int y, const QString& label, const QString& value) {
        painter.setFont(labelFont);
        painter.setPen(kLabel);
        const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(label);
        painter.drawText(QRect(150, y, labelWidth + 4, 22), Qt::AlignLeft | Qt::AlignVCenter, label);
        painter.setFont(valueFont);
        painter.setPen(kValue);
        const QRect valueRect(150 + labelWidth, y, width() - 170 - labelWidth, 22);
        painter.drawText(valueRect, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(valueFont).elidedText(value, Qt::ElideRight, valueRect.width()));
    };
    drawPair((kNvrHeight - 22) / 2, PasswordLabel(), password);
    if (cloud) {
        drawPair(kNvrHeight + 5, EmailLabel(), email);
        drawPair(kNvrHeight + 28, PasswordLabel(), emailPassword);
    }
    if (cameras) {
        painter.setFont(valueFont);
        for (int i = 0; i < names.size(); ++i) {
            const QRect box = CameraTextRect(i);
            // The marker: five one-pixel lines forming a small triangle pointing right.
            painter.setPen(QPen(QColor(230, 230, 230), 1));
            painter.setRenderHint(QPainter::Antialiasing, false);
            const int x = CameraMarkerX(i);
            const int cy = box.center().y();
            for (int k = 0; k < 5; ++k)
                painter.drawLine(x + k, cy - (4 - k), x + k, cy + (4 - k));
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(kValue);
            painter.drawText(box.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(valueFont).elidedText(names.at(i), Qt::ElideRight, box.width() - 4));
        }
    }
}
